// Test helper for the GUI tests: reports on a top-level window of another
// process from the Win32 side, where the X geometry cannot tell.
//
//   window_probe rect CAPTION        "left top right bottom" of the window
//   window_probe client CAPTION      "width height" of its client area
//   window_probe text CAPTION ID     the text of control ID
//   window_probe item CAPTION ID     "left top right bottom" of control ID
//   window_probe style CAPTION ID    the style bits of control ID, in hex
//
// CAPTION is the exact window title. Exit code 0, or 2 if the window or the
// control is not there. Output goes to stdout without a line end.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static int Print(const std::string& text) {
  // Raw bytes: a text-mode stdout would turn each LF into CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 3) return 1;
  HWND window = FindWindowA(nullptr, argv[2]);
  if (window == nullptr) return 2;
  char buffer[128];
  if (std::strcmp(argv[1], "rect") == 0) {
    RECT r;
    if (!GetWindowRect(window, &r)) return 2;
    std::snprintf(buffer, sizeof(buffer), "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
    return Print(buffer);
  }
  if (std::strcmp(argv[1], "client") == 0) {
    RECT r;
    if (!GetClientRect(window, &r)) return 2;
    std::snprintf(buffer, sizeof(buffer), "%ld %ld", r.right - r.left, r.bottom - r.top);
    return Print(buffer);
  }
  if (argc < 4) return 1;
  HWND item = GetDlgItem(window, std::atoi(argv[3]));
  if (item == nullptr) return 2;
  if (std::strcmp(argv[1], "text") == 0) {
    // WM_GETTEXT is marshalled across processes, GetWindowText is not.
    LRESULT length = SendMessageA(item, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(item, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return Print(text);
  }
  if (std::strcmp(argv[1], "item") == 0) {
    RECT r;
    if (!GetWindowRect(item, &r)) return 2;
    std::snprintf(buffer, sizeof(buffer), "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
    return Print(buffer);
  }
  if (std::strcmp(argv[1], "style") == 0) {
    std::snprintf(buffer, sizeof(buffer), "%08lx",
                  static_cast<unsigned long>(GetWindowLongA(item, GWL_STYLE)));
    return Print(buffer);
  }
  return 1;
}
