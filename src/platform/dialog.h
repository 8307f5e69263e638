/// A modal dialog built from a dialog template of the program's resources.
#ifndef PAGETRIX_PLATFORM_DIALOG_H_
#define PAGETRIX_PLATFORM_DIALOG_H_

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

/// An open paint context of a dialog; closed when destroyed.
class CPaintContext {
 public:
  virtual ~CPaintContext() = default;
  /// Fills the client area with the background of a minimized window.
  virtual void EraseIconBackground() = 0;
  /// Draws an icon with its top-left corner at (x, y) of the client area.
  virtual void DrawIcon(int x, int y, IconHandle icon) = 0;
};

class CDialog;

/// A control of a dialog, bound to its id by the data exchange.
class CDialogItem {
 public:
  void Bind(CDialog* dialog, int id);
  bool IsBound() const { return dialog_ != nullptr; }
  int Id() const { return id_; }
  void SetText(const std::string& text);
  std::string GetText() const;
  /// Selects the characters from `start` up to, not including, `end`.
  void SetSelection(int start, int end);
  /// Scrolls an edit control so that its caret is visible.
  void ScrollCaret();

 private:
  CDialog* dialog_ = nullptr;
  int id_ = 0;
};

/// Base of the program's dialogs: the platform runs the modal loop and hands
/// each message to the matching OnXxx member. The window operations below
/// are what the dialog classes may do with their window; each build
/// implements them (the console build has no window and does nothing), and
/// tests override them to stand in a window of their own.
class CDialog {
 public:
  explicit CDialog(int template_id);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  /// Shows the dialog modally; returns its end code (-1 if it could not be shown).
  int DoModal();
  int TemplateId() const { return template_id_; }
  /// The window while it is shown (HWND on Windows), else null.
  void* Handle() const { return handle_; }

  // ---- Message handlers; the defaults are the platform's own handling ----

  /// The controls exist; the default transfers the data into them. True
  /// lets the system give the focus to the first control.
  virtual bool OnInitDialog();
  /// Moves data between members and controls: into the controls, or with
  /// `save_and_validate` back into the members.
  virtual void DoDataExchange(bool save_and_validate);
  /// Enter: takes the data from the controls and ends with kIdOk.
  virtual void OnOK();
  /// Esc or the close box: ends with kIdCancel.
  virtual void OnCancel();
  /// A command of the system menu; false leaves it to the default handling.
  virtual bool OnSysCommand(unsigned command);
  /// A click on a push button other than OK and Cancel; false if unhandled.
  virtual bool OnCommand(int id);
  /// A paint request; false leaves it to the default painting.
  virtual bool OnPaint();
  /// The icon shown while the minimized window is dragged; null for the default.
  virtual IconHandle OnQueryDragIcon();
  /// The window's size has changed (new client size).
  virtual void OnSize(int client_width, int client_height);
  /// The system asks for the sizes the user may drag the window to.
  virtual void OnGetMinMaxInfo(TrackingLimits* limits);
  /// The window is being destroyed, whichever way it was closed.
  virtual void OnDestroy();
  /// What the console build prints on stdout instead of showing the window.
  virtual std::string ConsoleText() const;
  /// Whether ConsoleText() is Windows-1252 text (converted for a UTF-8
  /// console) rather than a name the system gave, already in its bytes.
  virtual bool ConsoleTextIsAnsi() const { return true; }

  /// The program's icon resource `id` (shared; never freed); null if missing.
  static IconHandle LoadAppIcon(int id);

 protected:
  /// Data exchange of a text member with control `id`.
  void ExchangeText(bool save_and_validate, int id, std::string& value);

  // ---- Window operations ----
  virtual void EndDialog(int result);
  virtual std::string GetItemText(int id);
  virtual void SetItemText(int id, const std::string& text);
  virtual void SetItemSelection(int id, int start, int end);
  virtual void ScrollItemCaret(int id);
  /// Lets the user use a control, or greys it out.
  virtual void EnableItem(int id, bool enable);
  /// A control's rectangle in client coordinates.
  virtual bool GetItemRect(int id, WindowRect* rect);
  virtual void MoveItem(int id, const WindowRect& rect);
  /// Shows control `id` in a fixed-pitch font of the dialog font's height;
  /// false, and the control keeps its font, where the system has none.
  virtual bool SetItemFixedPitchFont(int id);
  /// In the font of control `id`: the width of the widest line of `text`
  /// and the height of one line, in pixels.
  virtual bool MeasureItemText(int id, const std::string& text, int* width, int* line_height);
  /// Where an edit control lays out its text, in the control's own client
  /// coordinates (inside its border, scroll bars and margins).
  virtual bool GetItemTextRect(int id, WindowRect* rect);
  /// Appends a separator and a command item to the system menu; false if
  /// the window has no system menu.
  virtual bool AppendSystemMenuItem(unsigned command, const std::string& text);
  /// Sets the large (title bar, task switcher) or small icon of the window.
  virtual void SetIcon(IconHandle icon, bool big);
  virtual bool IsMinimized();
  /// The window's outer rectangle, frame and caption included.
  virtual bool GetWindowRect(WindowRect* rect);
  virtual bool GetClientRect(WindowRect* rect);
  virtual void MoveWindow(const WindowRect& rect, bool repaint);
  virtual bool GetWindowPlacement(WindowPlacement* placement);
  virtual void SetForegroundWindow();
  /// The desktop without the task bar.
  virtual bool GetWorkArea(WindowRect* rect);
  /// The system's size of a large icon.
  virtual void GetIconSize(int* width, int* height);
  /// Opens the paint context of the window (never null).
  virtual std::unique_ptr<CPaintContext> BeginPaint();
  /// The operating system's private-profile read of an INI file.
  virtual int ReadProfileInt(const std::string& file, const std::string& section,
                             const std::string& key, int default_value);
  /// Sets keys of one section of an INI file together, every other byte of
  /// it kept (WriteProfileKeys); false, and the file untouched, if it cannot.
  virtual bool WriteProfileValues(const std::string& file, const std::string& section,
                                  const ProfileKeys& values);

 private:
  friend class CDialogItem;
  friend struct DialogWindowAccess;  // the platform's dialog loop

  int template_id_;
  void* handle_ = nullptr;
};

#endif  // PAGETRIX_PLATFORM_DIALOG_H_
