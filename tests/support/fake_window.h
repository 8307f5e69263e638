/// Stands in a window for a dialog class and records what the dialog does with it.
#ifndef PAGETRIX_TESTS_SUPPORT_FAKE_WINDOW_H_
#define PAGETRIX_TESTS_SUPPORT_FAKE_WINDOW_H_

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog.h"

/// One call of a window operation, as text ("move 1 2 3 4", "end 1", ...).
using CallLog = std::vector<std::string>;

std::string RectText(const WindowRect& rect);

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
  /// Placement keys "Section/Key" -> value; missing keys read the default.
  std::map<std::string, int> profile;
  std::vector<std::string> profile_reads;
  /// Writes as "file|section|key|value".
  std::vector<std::string> profile_writes;
};

template <typename Dialog>
class FakeWindow : public Dialog {
 public:
  static constexpr int kCharWidth = 7;
  static constexpr int kLineHeight = 13;
  FakeWindowState state;

 protected:
  void EndDialog(int result) override { Log("end " + std::to_string(result)); }
  std::string GetItemText(int id) override { return state.item_texts[id]; }
  void SetItemText(int id, const std::string& text) override {
    state.item_texts[id] = text;
    Log("text " + std::to_string(id) + " " + text);
  }
  void SetItemSelection(int id, int start, int end) override {
    Log("select " + std::to_string(id) + " " + std::to_string(start) + " " + std::to_string(end));
  }
  void ScrollItemCaret(int id) override { Log("scroll caret " + std::to_string(id)); }
  void EnableItem(int id, bool enable) override {
    state.enabled[id] = enable;
    Log(std::string(enable ? "enable " : "disable ") + std::to_string(id));
  }
  bool GetItemRect(int id, WindowRect* rect) override {
    auto it = state.item_rects.find(id);
    if (it == state.item_rects.end()) return false;
    *rect = it->second;
    return true;
  }
  void MoveItem(int id, const WindowRect& rect) override {
    state.item_rects[id] = rect;
    Log("move item " + std::to_string(id) + " " + RectText(rect));
  }
  bool SetItemFixedPitchFont(int id) override {
    Log("fixed pitch font " + std::to_string(id));
    return true;
  }
  /// Measured as a fixed-pitch font of 7 x 13 pixels would be.
  bool MeasureItemText(int, const std::string& text, int* width, int* line_height) override {
    size_t widest = 0;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      widest = std::max(widest, end - start - (end > start && text[end - 1] == '\r' ? 1 : 0));
    widest = std::max(widest, text.size() - start);
    *width = static_cast<int>(widest) * kCharWidth;
    *line_height = kLineHeight;
    return true;
  }
  bool GetItemTextRect(int id, WindowRect* rect) override {
    auto it = state.item_text_rects.find(id);
    if (it == state.item_text_rects.end()) return false;
    *rect = it->second;
    return true;
  }
  bool AppendSystemMenuItem(unsigned command, const std::string& text) override {
    Log("menu " + std::to_string(command) + " " + text);
    return true;
  }
  void SetIcon(IconHandle, bool big) override { Log(big ? "icon big" : "icon small"); }
  bool IsMinimized() override { return state.minimized; }
  bool GetWindowRect(WindowRect* rect) override {
    *rect = state.window;
    return true;
  }
  bool GetClientRect(WindowRect* rect) override {
    *rect = state.client;
    return true;
  }
  void MoveWindow(const WindowRect& rect, bool repaint) override {
    state.window = rect;
    if (state.held_height != 0) state.window.bottom = rect.top + state.held_height;
    Log("move " + RectText(rect) + (repaint ? " repaint" : ""));
  }
  bool GetWindowPlacement(WindowPlacement* placement) override {
    if (!state.has_placement) return false;
    *placement = state.placement;
    return true;
  }
  void SetForegroundWindow() override { Log("foreground"); }
  bool GetWorkArea(WindowRect* rect) override {
    *rect = state.work_area;
    return true;
  }
  void GetIconSize(int* width, int* height) override {
    *width = 32;
    *height = 32;
  }
  std::unique_ptr<CPaintContext> BeginPaint() override {
    Log("begin paint");
    return std::make_unique<Paint>(&state.calls);
  }
  int ReadProfileInt(const std::string& file, const std::string& section, const std::string& key,
                     int default_value) override {
    state.profile_reads.push_back(file + "|" + section + "|" + key);
    auto it = state.profile.find(section + "/" + key);
    return it == state.profile.end() ? default_value : it->second;
  }
  bool WriteProfileValues(const std::string& file, const std::string& section,
                          const ProfileKeys& values) override {
    for (const auto& [key, value] : values)
      state.profile_writes.push_back(file + "|" + section + "|" + key + "|" + value);
    return true;
  }

 private:
  class Paint : public CPaintContext {
   public:
    explicit Paint(CallLog* calls) : calls_(calls) {}
    ~Paint() override { calls_->push_back("end paint"); }
    void EraseIconBackground() override { calls_->push_back("erase"); }
    void DrawIcon(int x, int y, IconHandle) override {
      calls_->push_back("draw " + std::to_string(x) + " " + std::to_string(y));
    }

   private:
    CallLog* calls_;
  };

  void Log(const std::string& call) { state.calls.push_back(call); }
};

#endif  // PAGETRIX_TESTS_SUPPORT_FAKE_WINDOW_H_
