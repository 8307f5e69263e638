// The console build has no windows: a dialog prints what it would show and
// ends as if confirmed; the window operations have nothing to act on.
#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <string_view>

#include "base/text.h"
#include "platform/dialog.h"
#include "platform/dialog_impl.h"

namespace {

class NullPaintContext : public CPaintContext {
 public:
  void EraseIconBackground() override {}
  void DrawIcon(int, int, IconHandle) override {}
};

// The character set of the user's locale (LC_ALL, LC_CTYPE, LANG), read
// without setting the program's own locale, which stays "C" for the rest.
std::string ConsoleCodeset() {
  locale_t user = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return std::string();
  std::string codeset = ::nl_langinfo_l(CODESET, user);
  ::freelocale(user);
  return codeset;
}

}  // namespace

void WriteConsolePosix(std::FILE* stream, std::string_view text) {
  static const std::string codeset = ConsoleCodeset();
  const std::string out = TextForConsole(text, codeset);
  std::fwrite(out.data(), 1, out.size(), stream);
  std::fflush(stream);
}

int RunModalDialogPosix(CDialog& dialog) {
  const std::string text = dialog.ConsoleText();
  if (dialog.ConsoleTextIsAnsi()) {
    WriteConsolePosix(stdout, text);
  } else {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
  return kIdOk;
}

IconHandle CDialog::LoadAppIcon(int) { return nullptr; }

void CDialog::EndDialog(int) {}
std::string CDialog::GetItemText(int) { return std::string(); }
void CDialog::SetItemText(int, const std::string&) {}
void CDialog::SetItemSelection(int, int, int) {}
void CDialog::ScrollItemCaret(int) {}
void CDialog::EnableItem(int, bool) {}
bool CDialog::GetItemRect(int, WindowRect*) { return false; }
void CDialog::MoveItem(int, const WindowRect&) {}
bool CDialog::SetItemFixedPitchFont(int) { return false; }
bool CDialog::MeasureItemText(int, const std::string&, int*, int*) { return false; }
bool CDialog::GetItemTextRect(int, WindowRect*) { return false; }
bool CDialog::AppendSystemMenuItem(unsigned, const std::string&) { return false; }
void CDialog::SetIcon(IconHandle, bool) {}
bool CDialog::IsMinimized() { return false; }
bool CDialog::GetWindowRect(WindowRect*) { return false; }
bool CDialog::GetClientRect(WindowRect*) { return false; }
void CDialog::MoveWindow(const WindowRect&, bool) {}
bool CDialog::GetWindowPlacement(WindowPlacement*) { return false; }
void CDialog::SetForegroundWindow() {}
bool CDialog::GetWorkArea(WindowRect*) { return false; }

void CDialog::GetIconSize(int* width, int* height) {
  *width = 32;
  *height = 32;
}

std::unique_ptr<CPaintContext> CDialog::BeginPaint() {
  return std::make_unique<NullPaintContext>();
}

int CDialog::ReadProfileInt(const std::string&, const std::string&, const std::string&,
                            int default_value) {
  return default_value;
}

// Without a window there is no placement to keep.
bool CDialog::WriteProfileValues(const std::string&, const std::string&, const ProfileKeys&) {
  return false;
}
