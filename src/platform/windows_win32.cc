// The Win32 user interface: DialogBoxParamA with one dialog procedure that
// finds its dialog through DWLP_USER and hands each message to the matching
// OnXxx member, the window operations on the dialog's HWND, message boxes,
// the console and the shell.
#include <windows.h>

#include <vector>

#include "platform/platform.h"
#include "platform/system_libraries_win32.h"
#include "platform/window_system.h"

namespace {

WindowRect FromRect(const RECT& r) { return WindowRect{r.left, r.top, r.right, r.bottom}; }

class Win32PaintContext : public PaintContext {
 public:
  explicit Win32PaintContext(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd_, &paint_); }
  ~Win32PaintContext() override { ::EndPaint(hwnd_, &paint_); }

  void EraseIconBackground() override {
    ::SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
  }
  void DrawIcon(int x, int y, IconHandle icon) override {
    ::DrawIcon(dc_, x, y, static_cast<HICON>(icon));
  }
  void GetIconSize(int* width, int* height) override {
    *width = ::GetSystemMetrics(SM_CXICON);
    *height = ::GetSystemMetrics(SM_CYICON);
  }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// Enter in a multi-line edit without ES_WANTRETURN is meant to act as the
// dialog's default command, but the edit only forwards it to a default
// button, and the help window has none: without this Enter would do nothing.
LRESULT CALLBACK EnterIsOkProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                               DWORD_PTR) {
  if (message == WM_KEYDOWN && wparam == VK_RETURN && ::GetKeyState(VK_CONTROL) >= 0) {
    HWND dialog = ::GetParent(hwnd);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    return 0;
  }
  const CommonControlsApi& controls = CommonControls();
  if (message == WM_NCDESTROY) controls.remove_window_subclass(hwnd, &EnterIsOkProc, 0);
  return controls.def_subclass_proc(hwnd, message, wparam, lparam);
}

BOOL CALLBACK HookEnterKey(HWND child, LPARAM) {
  char class_name[16] = {};
  ::GetClassNameA(child, class_name, sizeof(class_name));
  LONG style = ::GetWindowLongA(child, GWL_STYLE);
  const CommonControlsApi& controls = CommonControls();
  // Only with all three: a subclass procedure must be able to pass messages on.
  if (lstrcmpiA(class_name, "Edit") == 0 && (style & ES_MULTILINE) != 0 &&
      (style & ES_WANTRETURN) == 0 && ::GetDlgItem(::GetParent(child), IDOK) == nullptr &&
      controls.set_window_subclass != nullptr && controls.remove_window_subclass != nullptr &&
      controls.def_subclass_proc != nullptr) {
    controls.set_window_subclass(child, &EnterIsOkProc, 0, 0);
  }
  return TRUE;
}

// A fixed-pitch font as tall as the dialog's own, made once and kept to the
// process end (a window shows it at most a few times); null if the system
// maps the request to a proportional font.
HFONT FixedPitchFont(HWND dialog, HWND item) {
  static HFONT font = nullptr;
  static bool tried = false;
  if (tried) return font;
  tried = true;
  LOGFONTA wanted{};
  wanted.lfHeight = -13;
  auto dialog_font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
  LOGFONTA base{};
  if (dialog_font != nullptr && ::GetObjectA(dialog_font, sizeof(base), &base) != 0)
    wanted.lfHeight = base.lfHeight;
  wanted.lfCharSet = ANSI_CHARSET;
  wanted.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynA(wanted.lfFaceName, "Consolas", LF_FACESIZE);
  HFONT made = ::CreateFontIndirectA(&wanted);
  if (made == nullptr) return nullptr;
  HDC dc = ::GetDC(item);
  HGDIOBJ old = ::SelectObject(dc, made);
  TEXTMETRICA metrics{};
  const bool measured = ::GetTextMetricsA(dc, &metrics) != FALSE;
  ::SelectObject(dc, old);
  ::ReleaseDC(item, dc);
  // The bit is set for a variable pitch, against its name.
  if (!measured || (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0) {
    ::DeleteObject(made);
    return nullptr;
  }
  font = made;
  return font;
}

// The window of one shown dialog; null until WM_INITDIALOG.
class Win32Window final : public Window {
 public:
  HWND hwnd = nullptr;

  void EndDialog(int result) override {
    if (hwnd != nullptr) ::EndDialog(hwnd, result);
  }

  std::string GetItemText(int id) override {
    HWND item = ::GetDlgItem(hwnd, id);
    if (item == nullptr) return std::string();
    int length = ::GetWindowTextLengthA(item);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = ::GetWindowTextA(item, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
  }

  void SetItemText(int id, const std::string& text) override {
    ::SetDlgItemTextA(hwnd, id, text.c_str());
  }

  void SetItemSelection(int id, int start, int end) override {
    ::SendDlgItemMessageA(hwnd, id, EM_SETSEL, static_cast<WPARAM>(start),
                          static_cast<LPARAM>(end));
    ::SendDlgItemMessageA(hwnd, id, EM_SCROLLCARET, 0, 0);
  }

  void EnableItem(int id, bool enable) override {
    ::EnableWindow(::GetDlgItem(hwnd, id), enable ? TRUE : FALSE);
  }

  bool GetItemRect(int id, ItemArea area, WindowRect* rect) override {
    HWND item = ::GetDlgItem(hwnd, id);
    if (item == nullptr) return false;
    if (area == ItemArea::kText) {
      RECT r{};
      ::SendMessageA(item, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
      *rect = FromRect(r);
      return r.right > r.left;
    }
    RECT r;
    if (!::GetWindowRect(item, &r)) return false;
    ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    *rect = FromRect(r);
    return true;
  }

  void MoveItem(int id, const WindowRect& rect) override {
    HWND item = ::GetDlgItem(hwnd, id);
    if (item != nullptr) ::MoveWindow(item, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
  }

  bool SetItemFixedPitchFont(int id) override {
    HWND item = ::GetDlgItem(hwnd, id);
    if (item == nullptr) return false;
    HFONT font = FixedPitchFont(hwnd, item);
    if (font == nullptr) return false;
    ::SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return true;
  }

  bool MeasureItemText(int id, const std::string& text, int* width, int* line_height) override {
    HWND item = ::GetDlgItem(hwnd, id);
    if (item == nullptr) return false;
    HDC dc = ::GetDC(item);
    if (dc == nullptr) return false;
    // Without a font of its own the control draws in the system font, the
    // one a fresh device context holds.
    auto font = reinterpret_cast<HFONT>(::SendMessageA(item, WM_GETFONT, 0, 0));
    HGDIOBJ old = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics{};
    bool measured = ::GetTextMetricsA(dc, &metrics) != FALSE;
    int widest = 0;
    for (size_t start = 0; measured && start <= text.size();) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      size_t length = end - start;
      if (length > 0 && text[end - 1] == '\r') --length;
      SIZE size{};
      if (length > 0) {
        measured = ::GetTextExtentPoint32A(dc, text.data() + start, static_cast<int>(length),
                                           &size) != FALSE;
      }
      if (size.cx > widest) widest = size.cx;
      start = end + 1;
    }
    if (old != nullptr) ::SelectObject(dc, old);
    ::ReleaseDC(item, dc);
    if (!measured) return false;
    *width = widest;
    *line_height = metrics.tmHeight;
    return true;
  }

  bool AppendSystemMenuItem(unsigned command, const std::string& text) override {
    HMENU menu = ::GetSystemMenu(hwnd, FALSE);
    if (menu == nullptr) return false;
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, command, text.c_str());
    return true;
  }

  void SetIcons(IconHandle icon) override {
    ::SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }

  bool IsMinimized() override { return ::IsIconic(hwnd) != FALSE; }

  bool GetRect(WindowArea area, WindowRect* rect) override {
    RECT r;
    bool got = false;
    switch (area) {
      case WindowArea::kWindow:
        got = ::GetWindowRect(hwnd, &r) != FALSE;
        break;
      case WindowArea::kClient:
        got = ::GetClientRect(hwnd, &r) != FALSE;
        break;
      case WindowArea::kWorkArea:
        got = ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0) != FALSE;
        break;
    }
    if (!got) return false;
    *rect = FromRect(r);
    return true;
  }

  void MoveWindow(const WindowRect& rect, bool repaint) override {
    ::MoveWindow(hwnd, rect.left, rect.top, rect.Width(), rect.Height(), repaint ? TRUE : FALSE);
  }

  bool GetWindowPlacement(WindowPlacement* placement) override {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!::GetWindowPlacement(hwnd, &wp)) return false;
    // The normal position is in work-area coordinates; the placement is read
    // back with MoveWindow in screen coordinates, so shift it by the work
    // area's offset, or a task bar at the top or left would move the window
    // a little further on every run.
    RECT r = wp.rcNormalPosition;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    HMONITOR handle = ::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST);
    if (handle != nullptr && ::GetMonitorInfoA(handle, &monitor)) {
      ::OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left,
                   monitor.rcWork.top - monitor.rcMonitor.top);
    }
    placement->normal = FromRect(r);
    placement->maximized = wp.showCmd == SW_SHOWMAXIMIZED;
    return true;
  }

  void SetForegroundWindow() override { ::SetForegroundWindow(hwnd); }

  std::unique_ptr<PaintContext> BeginPaint() override {
    return std::make_unique<Win32PaintContext>(hwnd);
  }
};

// One dialog shown by the modal loop and its window.
struct ShownDialog {
  DialogHandler* dialog;
  Win32Window window;
};

// The dialogs now shown, innermost last: a dialog opened from another is
// owned by it, so the outer one stays disabled until the inner one ends.
std::vector<ShownDialog*>& OpenDialogs() {
  static std::vector<ShownDialog*> open;
  return open;
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* shown = reinterpret_cast<ShownDialog*>(lparam);
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lparam);
    shown->window.hwnd = hwnd;
    shown->dialog->AttachWindow(&shown->window);
    ::EnumChildWindows(hwnd, &HookEnterKey, 0);
    return shown->dialog->OnInitDialog() ? TRUE : FALSE;
  }
  // Messages before WM_INITDIALOG (creation, first sizing) get the default.
  auto* shown = reinterpret_cast<ShownDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  if (shown == nullptr) return FALSE;
  DialogHandler* dialog = shown->dialog;

  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        dialog->OnOK();
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        dialog->OnCancel();
        return TRUE;
      }
      if (HIWORD(wparam) == BN_CLICKED) return dialog->OnCommand(LOWORD(wparam)) ? TRUE : FALSE;
      return FALSE;
    case WM_SYSCOMMAND:
      return dialog->OnSysCommand(static_cast<unsigned>(wparam)) ? TRUE : FALSE;
    case WM_PAINT:
      return dialog->OnPaint() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      // One of the messages whose dialog-procedure result is the answer.
      return reinterpret_cast<INT_PTR>(dialog->OnQueryDragIcon());
    case WM_SIZE:
      dialog->OnSize(LOWORD(lparam), HIWORD(lparam));
      return FALSE;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      TrackingLimits limits{info->ptMinTrackSize.x, info->ptMinTrackSize.y, info->ptMaxTrackSize.x,
                            info->ptMaxTrackSize.y};
      dialog->OnGetMinMaxInfo(&limits);
      info->ptMinTrackSize = POINT{limits.min_width, limits.min_height};
      info->ptMaxTrackSize = POINT{limits.max_width, limits.max_height};
      return TRUE;
    }
    case WM_DESTROY:
      dialog->OnDestroy();
      return FALSE;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
      dialog->AttachWindow(nullptr);
      shown->window.hwnd = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

class Win32Windows final : public WindowSystem {
 public:
  int RunModalDialog(DialogHandler& dialog) override {
    // Before the first window, so that its controls come from the library.
    CommonControls();
    std::vector<ShownDialog*>& open = OpenDialogs();
    HWND owner = open.empty() ? nullptr : open.back()->window.hwnd;
    ShownDialog shown{&dialog, Win32Window()};
    open.push_back(&shown);
    INT_PTR result =
        ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog.TemplateId()), owner,
                          &DialogProc, reinterpret_cast<LPARAM>(&shown));
    open.pop_back();
    return static_cast<int>(result);
  }

  IconHandle LoadAppIcon(int id) override {
    return ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
  }

  void ShowMessageBox(const std::string& text) override {
    // Its buttons are controls too.
    CommonControls();
    ::MessageBoxA(::GetActiveWindow(), text.c_str(), "Pagetrix", MB_OK);
  }

  bool WriteToConsole(const std::string& text) override {
    // A windowed program started from a console has no standard output of
    // its own unless it was redirected; then it borrows the console.
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    bool borrowed = false;
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
      if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
      out = ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
      if (out == INVALID_HANDLE_VALUE) return false;
      borrowed = true;
    }
    bool ok = true;
    DWORD mode = 0;
    if (::GetConsoleMode(out, &mode)) {
      // The console shows its own code page; the text is in the ANSI one.
      int length =
          ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
      std::wstring wide(static_cast<size_t>(length), L'\0');
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
      DWORD written = 0;
      ok = ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
      DWORD written = 0;
      ok = ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
    }
    if (borrowed) ::CloseHandle(out);
    return ok;
  }

  bool OpenDocument(const std::string& path) override {
    const auto shell_execute = ShellExecuteFunction();
    HINSTANCE result = shell_execute != nullptr ? shell_execute(nullptr, "open", path.c_str(),
                                                                nullptr, nullptr, SW_SHOWNORMAL)
                                                : nullptr;
    if (reinterpret_cast<INT_PTR>(result) > 32) return true;
    // Without an association for the file type the text editor shows it.
    std::string command = "notepad.exe \"" + path + "\"";
    std::string failure;
    return SystemPlatform().StartProcess(command, &failure);
  }

  bool IsCtrlKeyDown() override { return ::GetKeyState(VK_CONTROL) < 0; }

  int ReadProfileInt(const std::string& file, const std::string& section, const std::string& key,
                     int default_value) override {
    return static_cast<int>(
        ::GetPrivateProfileIntA(section.c_str(), key.c_str(), default_value, file.c_str()));
  }

  // Not the system's private-profile write: it rewrites the file in place, so
  // that runs closing their windows at the same moment on one shared main
  // configuration read each other's half-written files and left a few keys.
  bool WriteProfileValues(const std::string& file, const std::string& section,
                          const ProfileKeys& values) override {
    // A bare name means a file in the Windows directory, as the
    // private-profile read takes it.
    std::string path = file;
    if (file.find_first_of("\\/:") == std::string::npos) {
      std::string folder(MAX_PATH, '\0');
      UINT got = ::GetWindowsDirectoryA(folder.data(), MAX_PATH);
      if (got == 0 || got >= MAX_PATH) return false;
      folder.resize(got);
      path = folder + (folder.back() == '\\' ? "" : "\\") + file;
    }
    return WriteProfileKeys(SystemPlatform(), path, section, values);
  }
};

}  // namespace

WindowSystem& SystemWindows() {
  static Win32Windows windows;
  return windows;
}
