// The Win32 dialog manager behind CDialog: DialogBoxParamA with one dialog
// procedure that finds its object through DWLP_USER and hands each message
// to the matching OnXxx member.
#include <windows.h>

#include <vector>

#include "platform/dialog.h"
#include "platform/dialog_impl.h"
#include "platform/system_libraries_win32.h"

struct DialogWindowAccess {
  static void Attach(CDialog& dialog, HWND hwnd) { dialog.handle_ = hwnd; }
  static void Detach(CDialog& dialog) { dialog.handle_ = nullptr; }
};

namespace {

// The dialogs now shown, innermost last: a dialog opened from another is
// owned by it, so the outer one stays disabled until the inner one ends.
std::vector<CDialog*>& OpenDialogs() {
  static std::vector<CDialog*> open;
  return open;
}

HWND Hwnd(const CDialog& dialog) { return static_cast<HWND>(dialog.Handle()); }

WindowRect FromRect(const RECT& r) { return WindowRect{r.left, r.top, r.right, r.bottom}; }

class Win32PaintContext : public CPaintContext {
 public:
  explicit Win32PaintContext(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd_, &paint_); }
  ~Win32PaintContext() override { ::EndPaint(hwnd_, &paint_); }

  void EraseIconBackground() override {
    ::SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
  }
  void DrawIcon(int x, int y, IconHandle icon) override {
    ::DrawIcon(dc_, x, y, static_cast<HICON>(icon));
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

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CDialog*>(lparam);
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lparam);
    DialogWindowAccess::Attach(*dialog, hwnd);
    ::EnumChildWindows(hwnd, &HookEnterKey, 0);
    return dialog->OnInitDialog() ? TRUE : FALSE;
  }
  // Messages before WM_INITDIALOG (creation, first sizing) get the default.
  auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  if (dialog == nullptr) return FALSE;

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
      DialogWindowAccess::Detach(*dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int RunModalDialogWin32(CDialog& dialog) {
  // Before the first window, so that its controls come from the library.
  CommonControls();
  std::vector<CDialog*>& open = OpenDialogs();
  HWND owner = open.empty() ? nullptr : Hwnd(*open.back());
  open.push_back(&dialog);
  INT_PTR result =
      ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog.TemplateId()), owner,
                        &DialogProc, reinterpret_cast<LPARAM>(&dialog));
  open.pop_back();
  return static_cast<int>(result);
}

IconHandle CDialog::LoadAppIcon(int id) {
  return ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

void CDialog::EndDialog(int result) {
  if (handle_ != nullptr) ::EndDialog(Hwnd(*this), result);
}

std::string CDialog::GetItemText(int id) {
  HWND item = ::GetDlgItem(Hwnd(*this), id);
  if (item == nullptr) return std::string();
  int length = ::GetWindowTextLengthA(item);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = ::GetWindowTextA(item, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

void CDialog::SetItemText(int id, const std::string& text) {
  ::SetDlgItemTextA(Hwnd(*this), id, text.c_str());
}

void CDialog::SetItemSelection(int id, int start, int end) {
  ::SendDlgItemMessageA(Hwnd(*this), id, EM_SETSEL, static_cast<WPARAM>(start),
                        static_cast<LPARAM>(end));
}

void CDialog::ScrollItemCaret(int id) {
  ::SendDlgItemMessageA(Hwnd(*this), id, EM_SCROLLCARET, 0, 0);
}

void CDialog::EnableItem(int id, bool enable) {
  ::EnableWindow(::GetDlgItem(Hwnd(*this), id), enable ? TRUE : FALSE);
}

bool CDialog::GetItemRect(int id, WindowRect* rect) {
  HWND item = ::GetDlgItem(Hwnd(*this), id);
  RECT r;
  if (item == nullptr || !::GetWindowRect(item, &r)) return false;
  ::MapWindowPoints(nullptr, Hwnd(*this), reinterpret_cast<POINT*>(&r), 2);
  *rect = FromRect(r);
  return true;
}

void CDialog::MoveItem(int id, const WindowRect& rect) {
  HWND item = ::GetDlgItem(Hwnd(*this), id);
  if (item != nullptr) ::MoveWindow(item, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

namespace {

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

}  // namespace

bool CDialog::SetItemFixedPitchFont(int id) {
  HWND item = ::GetDlgItem(Hwnd(*this), id);
  if (item == nullptr) return false;
  HFONT font = FixedPitchFont(Hwnd(*this), item);
  if (font == nullptr) return false;
  ::SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  return true;
}

bool CDialog::MeasureItemText(int id, const std::string& text, int* width, int* line_height) {
  HWND item = ::GetDlgItem(Hwnd(*this), id);
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

bool CDialog::GetItemTextRect(int id, WindowRect* rect) {
  HWND item = ::GetDlgItem(Hwnd(*this), id);
  RECT r{};
  if (item == nullptr) return false;
  ::SendMessageA(item, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  *rect = FromRect(r);
  return r.right > r.left;
}

bool CDialog::AppendSystemMenuItem(unsigned command, const std::string& text) {
  HMENU menu = ::GetSystemMenu(Hwnd(*this), FALSE);
  if (menu == nullptr) return false;
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(menu, MF_STRING, command, text.c_str());
  return true;
}

void CDialog::SetIcon(IconHandle icon, bool big) {
  ::SendMessageA(Hwnd(*this), WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                 reinterpret_cast<LPARAM>(icon));
}

bool CDialog::IsMinimized() { return ::IsIconic(Hwnd(*this)) != FALSE; }

bool CDialog::GetWindowRect(WindowRect* rect) {
  RECT r;
  if (!::GetWindowRect(Hwnd(*this), &r)) return false;
  *rect = FromRect(r);
  return true;
}

bool CDialog::GetClientRect(WindowRect* rect) {
  RECT r;
  if (!::GetClientRect(Hwnd(*this), &r)) return false;
  *rect = FromRect(r);
  return true;
}

void CDialog::MoveWindow(const WindowRect& rect, bool repaint) {
  ::MoveWindow(Hwnd(*this), rect.left, rect.top, rect.Width(), rect.Height(),
               repaint ? TRUE : FALSE);
}

bool CDialog::GetWindowPlacement(WindowPlacement* placement) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  if (!::GetWindowPlacement(Hwnd(*this), &wp)) return false;
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

void CDialog::SetForegroundWindow() { ::SetForegroundWindow(Hwnd(*this)); }

bool CDialog::GetWorkArea(WindowRect* rect) {
  RECT r;
  if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return false;
  *rect = FromRect(r);
  return true;
}

void CDialog::GetIconSize(int* width, int* height) {
  *width = ::GetSystemMetrics(SM_CXICON);
  *height = ::GetSystemMetrics(SM_CYICON);
}

std::unique_ptr<CPaintContext> CDialog::BeginPaint() {
  return std::make_unique<Win32PaintContext>(Hwnd(*this));
}

int CDialog::ReadProfileInt(const std::string& file, const std::string& section,
                            const std::string& key, int default_value) {
  return static_cast<int>(
      ::GetPrivateProfileIntA(section.c_str(), key.c_str(), default_value, file.c_str()));
}

// Not the system's private-profile write: it rewrites the file in place, so
// that runs closing their windows at the same moment on one shared main
// configuration read each other's half-written files and left a few keys.
bool CDialog::WriteProfileValues(const std::string& file, const std::string& section,
                                 const ProfileKeys& values) {
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
  return WriteProfileKeys(path, section, values);
}
