/// The user interface as the system offers it: modal dialogs from the
/// program's dialog templates, what a dialog may do with its window while it
/// is shown, message boxes, the console and documents.
#ifndef PAGETRIX_PLATFORM_WINDOW_SYSTEM_H_
#define PAGETRIX_PLATFORM_WINDOW_SYSTEM_H_

#include <memory>
#include <string>

#include "platform/profile_file.h"

/// An icon of the program (HICON on Windows); null for none.
using IconHandle = void*;

/// A rectangle in pixels: screen coordinates for windows, client
/// coordinates of the dialog for its controls.
struct WindowRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

/// The sizes between which the user may drag a window's border.
struct TrackingLimits {
  int min_width = 0;
  int min_height = 0;
  int max_width = 0;
  int max_height = 0;
};

/// Where a window stands when it is not minimized or maximized (screen
/// coordinates), and whether it is maximized now.
struct WindowPlacement {
  WindowRect normal;
  bool maximized = false;
};

/// End codes of the standard commands (Enter / Esc and the close box).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

/// Which rectangle of a dialog's window.
enum class WindowArea {
  kWindow,    ///< the outer rectangle, frame and caption included (screen)
  kClient,    ///< the client area (its own coordinates)
  kWorkArea,  ///< the desktop without the task bar (screen)
};

/// Which rectangle of a control.
enum class ItemArea {
  kBounds,  ///< the control, in the dialog's client coordinates
  kText,    ///< where an edit control lays out its text (inside its border,
            ///< scroll bars and margins), in the control's own coordinates
};

/// An open paint context of a dialog; closed when destroyed.
class PaintContext {
 public:
  virtual ~PaintContext() = default;
  /// Fills the client area with the background of a minimized window.
  virtual void EraseIconBackground() = 0;
  /// Draws an icon with its top-left corner at (x, y) of the client area.
  virtual void DrawIcon(int x, int y, IconHandle icon) = 0;
  /// The system's size of a large icon.
  virtual void GetIconSize(int* width, int* height) = 0;
};

/// The window of a dialog while it is shown: what its handlers may do with it.
class Window {
 public:
  virtual ~Window() = default;
  /// Ends the modal loop with `result` as the dialog's end code.
  virtual void EndDialog(int result) = 0;
  virtual std::string GetItemText(int id) = 0;
  virtual void SetItemText(int id, const std::string& text) = 0;
  /// Selects the characters from `start` up to, not including, `end` of an
  /// edit control and scrolls it so that its caret is visible.
  virtual void SetItemSelection(int id, int start, int end) = 0;
  /// Lets the user use a control, or greys it out.
  virtual void EnableItem(int id, bool enable) = 0;
  virtual bool GetItemRect(int id, ItemArea area, WindowRect* rect) = 0;
  virtual void MoveItem(int id, const WindowRect& rect) = 0;
  /// Shows control `id` in a fixed-pitch font of the dialog font's height;
  /// false, and the control keeps its font, where the system has none.
  virtual bool SetItemFixedPitchFont(int id) = 0;
  /// In the font of control `id`: the width of the widest line of `text`
  /// and the height of one line, in pixels.
  virtual bool MeasureItemText(int id, const std::string& text, int* width, int* line_height) = 0;
  /// Appends a separator and a command item to the system menu; false if
  /// the window has no system menu.
  virtual bool AppendSystemMenuItem(unsigned command, const std::string& text) = 0;
  /// Sets the icon of the title bar and the task switcher, large and small.
  virtual void SetIcons(IconHandle icon) = 0;
  virtual bool IsMinimized() = 0;
  virtual bool GetRect(WindowArea area, WindowRect* rect) = 0;
  virtual void MoveWindow(const WindowRect& rect, bool repaint) = 0;
  virtual bool GetWindowPlacement(WindowPlacement* placement) = 0;
  virtual void SetForegroundWindow() = 0;
  /// Opens the paint context of the window (never null).
  virtual std::unique_ptr<PaintContext> BeginPaint() = 0;
};

/// What the modal loop calls: one dialog, built from a dialog template of
/// the program's resources.
class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  virtual int TemplateId() const = 0;
  /// The window is there (non-null) or gone (null); called by the loop only.
  virtual void AttachWindow(Window* window) = 0;
  /// The controls exist. True lets the system give the focus to the first control.
  virtual bool OnInitDialog() = 0;
  /// Enter.
  virtual void OnOK() = 0;
  /// Esc or the close box.
  virtual void OnCancel() = 0;
  /// A command of the system menu; false leaves it to the default handling.
  virtual bool OnSysCommand(unsigned command) = 0;
  /// A click on a push button other than OK and Cancel; false if unhandled.
  virtual bool OnCommand(int id) = 0;
  /// A paint request; false leaves it to the default painting.
  virtual bool OnPaint() = 0;
  /// The icon shown while the minimized window is dragged; null for the default.
  virtual IconHandle OnQueryDragIcon() = 0;
  /// The window's size has changed (new client size).
  virtual void OnSize(int client_width, int client_height) = 0;
  /// The system asks for the sizes the user may drag the window to.
  virtual void OnGetMinMaxInfo(TrackingLimits* limits) = 0;
  /// The window is being destroyed, whichever way it was closed.
  virtual void OnDestroy() = 0;
  /// What the console build prints on stdout instead of showing the window.
  virtual std::string ConsoleText() const = 0;
  /// Whether ConsoleText() is Windows-1252 text (converted for a UTF-8
  /// console) rather than a name the system gave, already in its bytes.
  virtual bool ConsoleTextIsAnsi() const = 0;
};

/// The user interface of the process.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  /// Shows a dialog modally, owned by the innermost one shown; returns its
  /// end code (-1 if it could not be shown). The console build prints its
  /// ConsoleText() and ends it as if confirmed.
  virtual int RunModalDialog(DialogHandler& dialog) = 0;
  /// The program's icon resource `id` (shared; never freed); null if missing.
  virtual IconHandle LoadAppIcon(int id) = 0;
  /// A message box with an OK button; returns when it is closed.
  virtual void ShowMessageBox(const std::string& text) = 0;
  /// Writes text to the standard output of the process, or, where a windowed
  /// program has none, to the console of the process that started it. False
  /// when there is neither.
  virtual bool WriteToConsole(const std::string& text) = 0;
  /// Opens a document with the program the system associates with it.
  virtual bool OpenDocument(const std::string& path) = 0;
  /// Whether the Ctrl key is held down now.
  virtual bool IsCtrlKeyDown() = 0;
  /// The operating system's private-profile read of an INI file.
  virtual int ReadProfileInt(const std::string& file, const std::string& section,
                             const std::string& key, int default_value) = 0;
  /// Sets keys of one section of an INI file together, every other byte of
  /// it kept (WriteProfileKeys); false, and the file untouched, if it cannot.
  virtual bool WriteProfileValues(const std::string& file, const std::string& section,
                                  const ProfileKeys& values) = 0;
};

/// The system's own for this build.
WindowSystem& SystemWindows();

#endif  // PAGETRIX_PLATFORM_WINDOW_SYSTEM_H_
