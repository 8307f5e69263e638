// The user interface calls of Platform on POSIX: the console build prints
// what Windows would show.
#include <cstdio>
#include <string>

#include "platform/dialog_impl.h"
#include "platform/platform_posix.h"

bool PosixPlatform::IsCtrlKeyDown() { return false; }

void PosixPlatform::ShowMessageBox(const std::string& text) {
  WriteConsolePosix(stderr, text + "\n");
}

// Converted for a UTF-8 console like every other text the program prints.
bool PosixPlatform::WriteToConsole(const std::string& text) {
  WriteConsolePosix(stdout, text);
  return !std::ferror(stdout);
}

// No desktop to hand a document to.
bool PosixPlatform::OpenDocument(const std::string&) { return false; }

int PosixPlatform::RunModalDialog(CDialog& dialog) { return RunModalDialogPosix(dialog); }
