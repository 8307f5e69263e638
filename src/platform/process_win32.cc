// The process on Win32: its arguments, its environment, the processes it
// starts.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/command_line_split.h"
#include "platform/platform_win32.h"
#include "platform/win32_handle.h"

namespace {

// The system's message text for an error code, in the user's language.
std::string SystemMessage(DWORD error) {
  char* text = nullptr;
  DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
      nullptr);
  std::string message;
  if (length != 0 && text != nullptr) message.assign(text, length);
  if (text != nullptr) ::LocalFree(text);
  return message;
}

}  // namespace

std::string HostPlatform::GetCommandLineText() {
  const char* line = ::GetCommandLineA();
  std::string arguments;
  SplitProgramName(line != nullptr ? line : "", &arguments);
  return arguments;
}

bool HostPlatform::GetEnvVar(const std::string& name, std::string* value) {
  value->clear();
  std::string buffer(256, '\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    ::SetLastError(ERROR_SUCCESS);
    DWORD got = ::GetEnvironmentVariableA(name.c_str(), buffer.data(), size);
    if (got == 0) {
      // Zero is also the length of a variable set to an empty value.
      return ::GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    }
    if (got < size) {
      buffer.resize(got);
      *value = std::move(buffer);
      return true;
    }
    buffer.resize(got);
  }
  return false;
}

namespace {

// Installs `block` as the whole environment at once; false if the system
// refuses.
bool InstallBlock(const std::vector<std::string>& block) {
  std::string joined;
  for (const std::string& entry : block) {
    joined += entry;
    joined.push_back('\0');
  }
  joined.push_back('\0');
  int size =
      ::MultiByteToWideChar(CP_ACP, 0, joined.data(), static_cast<int>(joined.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, joined.data(), static_cast<int>(joined.size()), wide.data(),
                        size);
  return size > 0 && ::SetEnvironmentStringsW(wide.data());
}

}  // namespace

void HostPlatform::SetEnvironmentBlock(const std::vector<std::string>& block) {
  if (InstallBlock(block)) return;
  // Without the block call: clear what is not in it, then set each.
  for (const std::string& entry : GetEnvironmentBlock()) {
    const size_t eq = entry.find('=', 1);
    if (eq != std::string::npos) ::SetEnvironmentVariableA(entry.substr(0, eq).c_str(), nullptr);
  }
  for (const std::string& entry : block) {
    const size_t eq = entry.find('=', 1);
    if (eq != std::string::npos)
      ::SetEnvironmentVariableA(entry.substr(0, eq).c_str(), entry.c_str() + eq + 1);
  }
}

std::vector<std::string> HostPlatform::GetEnvironmentBlock() {
  std::vector<std::string> block;
  char* strings = ::GetEnvironmentStringsA();
  if (strings == nullptr) return block;
  for (const char* entry = strings; *entry != '\0'; entry += block.back().size() + 1) {
    block.emplace_back(entry);
  }
  ::FreeEnvironmentStringsA(strings);
  return block;
}

std::string HostPlatform::ExpandEnvVars(const std::string& text) {
  if (text.empty()) return text;
  std::string buffer(text.size() + 256, '\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD needed = ::ExpandEnvironmentStringsA(text.c_str(), buffer.data(), size);
    if (needed == 0) return text;
    // The count includes the terminating zero.
    if (needed <= size) {
      // The ANSI count may exceed the bytes written; the zero ends the text.
      buffer.resize(std::char_traits<char>::length(buffer.c_str()));
      return buffer;
    }
    buffer.resize(needed);
  }
  return text;
}

bool HostPlatform::StartProcess(const std::string& command_line, std::string* failure) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = command_line;  // the call may write into it
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    *failure = SystemMessage(::GetLastError());
    return false;
  }
  FileHandle process_handle(process.hProcess);
  FileHandle thread_handle(process.hThread);
  ::WaitForInputIdle(process.hProcess, 2000);
  failure->clear();
  return true;
}

Platform& SystemPlatform() {
  static HostPlatform platform;
  return platform;
}

void InitPlatformArguments(int, char**) {}
