// Test helper for the GUI tests: reports on a top-level window of another
// process from the Win32 side, where the X geometry cannot tell.
//
//   window_probe rect CAPTION        "left top right bottom" of the window
//   window_probe client CAPTION      "width height" of its client area
//   window_probe text CAPTION ID     the text of control ID
//   window_probe item CAPTION ID     "left top right bottom" of control ID
//   window_probe style CAPTION ID    the style bits of control ID, in hex
//   window_probe fit CAPTION ID      for a multi-line edit control: the width
//                                    its text may take, then the right end of
//                                    each line, in pixels, one a line
//   window_probe columns CAPTION ID  for a multi-line edit control: one line
//                                    per line of text, the left edge of each
//                                    of its characters, in pixels from the
//                                    line's first, separated by blanks
//   window_probe close CAPTION       asks the window to close (WM_CLOSE)
//   window_probe count CAPTION       how many visible windows have the caption
//   window_probe close-all CAPTION   asks every visible window of the caption
//                                    to close, all in one go; prints how many
//   window_probe lines CAPTION ID    for a multi-line edit control: "height
//                                    first count bottom", its client height,
//                                    the first line in view, the number of
//                                    lines and where the last line ends
//
// CAPTION is the exact window title; a "?" in it stands for any one
// character, so that a title outside ASCII can be named from any locale.
// Exit code 0, or 2 if the window or the control is not there. Output goes
// to stdout without a line end.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static int Print(const std::string& text) {
  // Raw bytes: a text-mode stdout would turn each LF into CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

// The line ends are measured by the control itself: the position of the
// character after a line's last one (its line break), or of the last
// character plus its own width on the last line.
static int PrintLineEnds(HWND edit) {
  RECT client;
  if (!GetClientRect(edit, &client)) return 2;
  LRESULT margins = SendMessageA(edit, EM_GETMARGINS, 0, 0);
  long usable = client.right - LOWORD(margins) - HIWORD(margins);
  std::string out = std::to_string(usable) + "\n";
  LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
  for (LRESULT n = 0; n < lines; ++n) {
    LRESULT start = SendMessageA(edit, EM_LINEINDEX, n, 0);
    LRESULT length = SendMessageA(edit, EM_LINELENGTH, start, 0);
    long right = 0;
    if (length > 0) {
      LRESULT first = SendMessageA(edit, EM_POSFROMCHAR, start, 0);
      LRESULT after = SendMessageA(edit, EM_POSFROMCHAR, start + length, 0);
      if (after == -1) {
        LRESULT last = SendMessageA(edit, EM_POSFROMCHAR, start + length - 1, 0);
        after = MAKELONG(LOWORD(last) + 8, HIWORD(last));  // no width for it: assume wide
      }
      right = static_cast<short>(LOWORD(after)) - static_cast<short>(LOWORD(first));
    }
    out += std::to_string(right) + "\n";
  }
  return Print(out);
}

static long X(LRESULT position) { return static_cast<short>(LOWORD(position)); }
static long Y(LRESULT position) { return static_cast<short>(HIWORD(position)); }

// Where the control draws each character, as it lays the text out itself.
static int PrintColumns(HWND edit) {
  std::string out;
  LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
  for (LRESULT n = 0; n < lines; ++n) {
    LRESULT start = SendMessageA(edit, EM_LINEINDEX, n, 0);
    LRESULT length = SendMessageA(edit, EM_LINELENGTH, start, 0);
    long first = X(SendMessageA(edit, EM_POSFROMCHAR, start, 0));
    for (LRESULT i = 0; i < length; ++i) {
      if (i > 0) out += " ";
      out += std::to_string(X(SendMessageA(edit, EM_POSFROMCHAR, start + i, 0)) - first);
    }
    out += "\n";
  }
  return Print(out);
}

// Whether every line shows without scrolling: the bottom of the last line
// against the client height. A line is as tall as the step between two.
static int PrintLines(HWND edit) {
  RECT client;
  if (!GetClientRect(edit, &client)) return 2;
  LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
  LRESULT first = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  long top0 = Y(SendMessageA(edit, EM_POSFROMCHAR, SendMessageA(edit, EM_LINEINDEX, 0, 0), 0));
  long height = 0;
  if (lines > 1) {
    height =
        Y(SendMessageA(edit, EM_POSFROMCHAR, SendMessageA(edit, EM_LINEINDEX, 1, 0), 0)) - top0;
  }
  long last =
      Y(SendMessageA(edit, EM_POSFROMCHAR, SendMessageA(edit, EM_LINEINDEX, lines - 1, 0), 0));
  char buffer[128];
  std::snprintf(buffer, sizeof(buffer), "%ld %ld %ld %ld", client.bottom - client.top,
                static_cast<long>(first), static_cast<long>(lines), last + height);
  return Print(buffer);
}

struct Search {
  const char* caption;
  std::vector<HWND> found;  // every visible window of the caption, of every process
};

static bool Matches(const char* pattern, const char* text) {
  for (; *pattern != '\0' && *text != '\0'; ++pattern, ++text) {
    if (*pattern != '?' && *pattern != *text) return false;
  }
  return *pattern == '\0' && *text == '\0';
}

static BOOL CALLBACK Visit(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  char title[256] = {};
  GetWindowTextA(window, title, sizeof(title));
  if (IsWindowVisible(window) && Matches(search->caption, title)) search->found.push_back(window);
  return TRUE;
}

int main(int argc, char** argv) {
  if (argc < 3) return 1;
  Search search{argv[2], {}};
  EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
  if (std::strcmp(argv[1], "count") == 0) return Print(std::to_string(search.found.size()));
  if (std::strcmp(argv[1], "close-all") == 0) {
    for (HWND window : search.found) PostMessageA(window, WM_CLOSE, 0, 0);
    return Print(std::to_string(search.found.size()));
  }
  if (search.found.empty()) return 2;
  HWND window = search.found.front();
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
  if (std::strcmp(argv[1], "close") == 0) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return Print("");
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
  if (std::strcmp(argv[1], "fit") == 0) return PrintLineEnds(item);
  if (std::strcmp(argv[1], "columns") == 0) return PrintColumns(item);
  if (std::strcmp(argv[1], "lines") == 0) return PrintLines(item);
  if (std::strcmp(argv[1], "style") == 0) {
    std::snprintf(buffer, sizeof(buffer), "%08lx",
                  static_cast<unsigned long>(GetWindowLongA(item, GWL_STYLE)));
    return Print(buffer);
  }
  return 1;
}
