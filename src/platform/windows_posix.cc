// The console build has no windows: a dialog prints what it would show and
// ends as if confirmed, a message box goes to standard error.
#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <string_view>

#include "base/text.h"
#include "platform/window_system.h"

namespace {

// The character set of the user's locale (LC_ALL, LC_CTYPE, LANG), read
// without setting the program's own locale, which stays "C" for the rest.
std::string ConsoleCodeset() {
  locale_t user = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return std::string();
  std::string codeset = ::nl_langinfo_l(CODESET, user);
  ::freelocale(user);
  return codeset;
}

// Windows-1252 text to a console stream, in UTF-8 where the user's locale is
// UTF-8; other locales get the bytes unchanged.
void WriteConsoleText(std::FILE* stream, std::string_view text) {
  static const std::string codeset = ConsoleCodeset();
  const std::string out = TextForConsole(text, codeset);
  std::fwrite(out.data(), 1, out.size(), stream);
  std::fflush(stream);
}

class PosixWindows final : public WindowSystem {
 public:
  int RunModalDialog(DialogHandler& dialog) override {
    const std::string text = dialog.ConsoleText();
    if (dialog.ConsoleTextIsAnsi()) {
      WriteConsoleText(stdout, text);
    } else {
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fflush(stdout);
    }
    return kIdOk;
  }

  IconHandle LoadAppIcon(int) override { return nullptr; }

  void ShowMessageBox(const std::string& text) override { WriteConsoleText(stderr, text + "\n"); }

  // Converted for a UTF-8 console like every other text the program prints.
  bool WriteToConsole(const std::string& text) override {
    WriteConsoleText(stdout, text);
    return !std::ferror(stdout);
  }

  // No desktop to hand a document to.
  bool OpenDocument(const std::string&) override { return false; }

  bool IsCtrlKeyDown() override { return false; }

  int ReadProfileInt(const std::string&, const std::string&, const std::string&,
                     int default_value) override {
    return default_value;
  }

  // Without a window there is no placement to keep.
  bool WriteProfileValues(const std::string&, const std::string&, const ProfileKeys&) override {
    return false;
  }
};

}  // namespace

WindowSystem& SystemWindows() {
  static PosixWindows windows;
  return windows;
}
