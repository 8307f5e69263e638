/// Stands in a window for a dialog class and the window system for the run,
/// and records what they are asked to do.
#ifndef PAGETRIX_TESTS_SUPPORT_FAKE_WINDOW_H_
#define PAGETRIX_TESTS_SUPPORT_FAKE_WINDOW_H_

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_system.h"

/// One call of a window operation, as text ("move 1 2 3 4", "end 1", ...).
using CallLog = std::vector<std::string>;

std::string RectText(const WindowRect& rect);

/// A window system that shows nothing: it records message boxes, console
/// text, documents and dialogs, and keeps placement keys in memory.
class FakeWindowSystem : public WindowSystem {
 public:
  bool ctrl_key_down = false;
  std::vector<std::string> message_boxes;
  /// What was written to the console, and the documents opened.
  std::string console;
  std::vector<std::string> opened_documents;
  std::vector<DialogHandler*> dialogs;
  /// Called for each dialog (after recording); its result is the end code.
  std::function<int(DialogHandler&)> on_dialog;
  /// Placement keys "Section/Key" -> value; missing keys read the default.
  std::map<std::string, int> profile;
  std::vector<std::string> profile_reads;
  /// Writes as "file|section|key|value".
  std::vector<std::string> profile_writes;

  int RunModalDialog(DialogHandler& dialog) override;
  IconHandle LoadAppIcon(int) override { return nullptr; }
  void ShowMessageBox(const std::string& text) override { message_boxes.push_back(text); }
  bool WriteToConsole(const std::string& text) override;
  bool OpenDocument(const std::string& path) override;
  bool IsCtrlKeyDown() override { return ctrl_key_down; }
  int ReadProfileInt(const std::string& file, const std::string& section, const std::string& key,
                     int default_value) override;
  bool WriteProfileValues(const std::string& file, const std::string& section,
                          const ProfileKeys& values) override;
};

/// The window state a dialog sees, and the record of what it did.
struct FakeWindowState {
  CallLog calls;
  std::map<int, std::string> item_texts;
  std::map<int, WindowRect> item_rects;
  /// Where an edit control lays out its text (its own client coordinates).
  std::map<int, WindowRect> item_text_rects;
  /// Controls greyed out (false) or usable (true), as last set.
  std::map<int, bool> enabled;
  WindowRect window{0, 0, 749, 45};
  WindowRect client{0, 0, 741, 17};
  WindowRect work_area{0, 0, 1280, 1024};
  /// When not 0, every move is held to this height, like the tracking limits.
  int held_height = 0;
  bool minimized = false;
  bool has_placement = true;
  WindowPlacement placement;
};

/// A window that acts on a FakeWindowState and logs each call.
class RecordingWindow : public Window {
 public:
  static constexpr int kCharWidth = 7;
  static constexpr int kLineHeight = 13;

  explicit RecordingWindow(FakeWindowState* state) : state_(*state) {}

  void EndDialog(int result) override;
  std::string GetItemText(int id) override { return state_.item_texts[id]; }
  void SetItemText(int id, const std::string& text) override;
  void SetItemSelection(int id, int start, int end) override;
  void EnableItem(int id, bool enable) override;
  bool GetItemRect(int id, ItemArea area, WindowRect* rect) override;
  void MoveItem(int id, const WindowRect& rect) override;
  bool SetItemFixedPitchFont(int id) override;
  /// Measured as a fixed-pitch font of 7 x 13 pixels would be.
  bool MeasureItemText(int id, const std::string& text, int* width, int* line_height) override;
  bool AppendSystemMenuItem(unsigned command, const std::string& text) override;
  void SetIcons(IconHandle icon) override;
  bool IsMinimized() override { return state_.minimized; }
  bool GetRect(WindowArea area, WindowRect* rect) override;
  void MoveWindow(const WindowRect& rect, bool repaint) override;
  bool GetWindowPlacement(WindowPlacement* placement) override;
  void SetForegroundWindow() override { Log("foreground"); }
  std::unique_ptr<PaintContext> BeginPaint() override;

 private:
  void Log(const std::string& call) { state_.calls.push_back(call); }

  FakeWindowState& state_;
};

/// What a FakeWindow holds before its dialog is made (the dialog is handed
/// the window system by its constructor).
struct FakeWindowParts {
  FakeWindowState state;
  FakeWindowSystem windows;
};

/// A dialog of class `Dialog` as if shown: its window a RecordingWindow on
/// `state`, its window system `windows`.
template <typename Dialog>
class FakeWindow : public FakeWindowParts, public Dialog {
 public:
  FakeWindow() : Dialog(windows), window_(&state) { this->AttachWindow(&window_); }

 private:
  RecordingWindow window_;
};

#endif  // PAGETRIX_TESTS_SUPPORT_FAKE_WINDOW_H_
