// The user interface calls of Platform on Win32.
#include <windows.h>

#include <string>

#include "platform/dialog_impl.h"
#include "platform/platform_win32.h"
#include "platform/system_libraries_win32.h"

bool Win32Platform::IsCtrlKeyDown() { return ::GetKeyState(VK_CONTROL) < 0; }

void Win32Platform::ShowMessageBox(const std::string& text) {
  // Its buttons are controls too.
  CommonControls();
  ::MessageBoxA(::GetActiveWindow(), text.c_str(), "Pagetrix", MB_OK);
}

int Win32Platform::RunModalDialog(CDialog& dialog) { return RunModalDialogWin32(dialog); }

bool Win32Platform::WriteToConsole(const std::string& text) {
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

bool Win32Platform::OpenDocument(const std::string& path) {
  const auto shell_execute = ShellExecuteFunction();
  HINSTANCE result = shell_execute != nullptr ? shell_execute(nullptr, "open", path.c_str(),
                                                              nullptr, nullptr, SW_SHOWNORMAL)
                                              : nullptr;
  if (reinterpret_cast<INT_PTR>(result) > 32) return true;
  // Without an association for the file type the text editor shows it.
  std::string command = "notepad.exe \"" + path + "\"";
  std::string failure;
  return StartProcess(command, &failure);
}
