// The Win32 implementation of Platform: the program's own system calls.
#include <windows.h>

#include <ntsecapi.h>
#include <winnetwk.h>

#include <algorithm>
#include <utility>

#include "base/file_name.h"
#include "platform/command_line_split.h"
#include "platform/dialog_impl.h"
#include "platform/env_block.h"
#include "platform/guarded_platform.h"
#include "platform/guid_text.h"
#include "platform/platform.h"
#include "platform/system_libraries_win32.h"

namespace {

// ---- Handles: move-only owners, one closer per kind ----

struct KernelHandleTraits {
  using Type = HANDLE;
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};

struct RegistryKeyTraits {
  using Type = HKEY;
  static bool IsValid(HKEY h) { return h != nullptr; }
  static void Close(HKEY h) { ::RegCloseKey(h); }
};

template <typename Traits>
class ScopedHandle {
 public:
  using Type = typename Traits::Type;
  ScopedHandle() = default;
  explicit ScopedHandle(Type handle) : handle_(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, Type())) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, Type());
    }
    return *this;
  }
  ~ScopedHandle() { Reset(); }

  Type get() const { return handle_; }
  Type Release() { return std::exchange(handle_, Type()); }
  Type* receive() {
    Reset();
    return &handle_;
  }
  bool IsValid() const { return Traits::IsValid(handle_); }
  void Reset() {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = Type();
  }

 private:
  Type handle_ = Type();
};

using FileHandle = ScopedHandle<KernelHandleTraits>;
using FindHandle = ScopedHandle<FindHandleTraits>;
using RegistryKey = ScopedHandle<RegistryKeyTraits>;

// ---- System errors as the interface's results ----

RemoveDirResult RemoveDirResultFromError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return RemoveDirResult::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
      return RemoveDirResult::kPathNotFound;
    case ERROR_DIR_NOT_EMPTY:
      return RemoveDirResult::kNotEmpty;
    default:
      return RemoveDirResult::kOtherError;
  }
}

// Calls `fill(buffer, size)` of an API that returns the length it wrote,
// or the size it needs (with the zero) when the buffer is too small, until
// the text fits.
template <typename Fill>
bool ReadSizedText(std::string* out, Fill fill, DWORD initial = MAX_PATH) {
  std::string buffer(initial, '\0');
  for (int attempt = 0; attempt < 16; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD got = fill(buffer.data(), size);
    if (got == 0) return false;
    if (got < size) {
      buffer.resize(got);
      *out = std::move(buffer);
      return true;
    }
    buffer.resize(got > size ? got : size * 2);
  }
  return false;
}

std::int64_t FileTimeToUnixSeconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  // 100-ns ticks from 1601 to 1970.
  constexpr std::int64_t kEpochOffset = 116444736000000000LL;
  return (static_cast<std::int64_t>(value.QuadPart) - kEpochOffset) / 10000000LL;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) return dir + name;
  return dir + "\\" + name;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DayOfYear(int year, int month, int day) {
  static const int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int yday = kDaysBefore[month - 1] + day - 1;
  if (month > 2 && IsLeapYear(year)) ++yday;
  return yday;
}

class Win32WritableFile final : public WritableFile {
 public:
  explicit Win32WritableFile(FileHandle file) : file_(std::move(file)) {}
  ~Win32WritableFile() override { Close(); }

  bool Append(std::string_view data) override {
    if (!file_.IsValid()) return false;
    while (!data.empty()) {
      DWORD chunk = data.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(data.size());
      DWORD put = 0;
      if (!::WriteFile(file_.get(), data.data(), chunk, &put, nullptr) || put == 0) return false;
      data.remove_prefix(put);
    }
    return true;
  }

  bool Close() override {
    if (!file_.IsValid()) return true;
    return ::CloseHandle(file_.Release()) != 0;
  }

 private:
  FileHandle file_;
};

class Win32Platform final : public GuardedPlatform {
 public:
  std::unique_ptr<WritableFile> NewWritableFile(const std::string& path, bool exclusive) override {
    DWORD share = exclusive ? 0 : (FILE_SHARE_READ | FILE_SHARE_WRITE);
    FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    // Only a file on a disk: "nul.htm" or COM1 would be a device.
    if (!file.IsValid() || ::GetFileType(file.get()) != FILE_TYPE_DISK) return nullptr;
    return std::make_unique<Win32WritableFile>(std::move(file));
  }

  bool ListDirectory(const std::string& dir, std::vector<FindEntry>* entries) override {
    entries->clear();
    std::string base;
    if (!FullPath(dir, &base)) return false;
    WIN32_FIND_DATAA data;
    FindHandle find(::FindFirstFileA(JoinPath(base, "*.*").c_str(), &data));
    if (!find.IsValid()) {
      // A drive root holds no "." entries: empty, yet searchable.
      if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
      DWORD attributes = ::GetFileAttributesA(base.c_str());
      return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    do {
      const char* name = data.cFileName;
      if (std::string_view(name) == "." || std::string_view(name) == "..") continue;
      FindEntry entry;
      entry.path = JoinPath(base, name);
      // A junction or directory link is listed as a file: deleting an old
      // output tree must never reach into the folder it points to.
      const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      entry.is_directory = directory && !link;
      entry.is_link_to_directory = directory && link;
      entries->push_back(std::move(entry));
    } while (::FindNextFileA(find.get(), &data));
    return true;
  }

  PathKind FindPath(const std::string& path) override {
    // A plain path is answered by its attributes, without opening the
    // folder for a search: under Wine a search for a missing name costs
    // about seven times as much. What the file finder answers otherwise
    // (patterns, a trailing separator, roots and shares, devices, and
    // whatever the attributes cannot tell, such as a POSIX pipe) still goes
    // to it.
    if (IsPlainPath(path)) {
      WIN32_FILE_ATTRIBUTE_DATA attributes;
      if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes)) {
        return (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kDirectory
                                                                        : PathKind::kFile;
      }
      const DWORD error = ::GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathKind::kNothing;
    }
    WIN32_FIND_DATAA data;
    FindHandle find(::FindFirstFileA(path.c_str(), &data));
    if (!find.IsValid()) return PathKind::kNothing;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kDirectory
                                                              : PathKind::kFile;
  }

  bool CreateDir(const std::string& path) override {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
  }

  RemoveDirResult RemoveDir(const std::string& path) override {
    if (::RemoveDirectoryA(path.c_str())) return RemoveDirResult::kOk;
    return RemoveDirResultFromError(::GetLastError());
  }

  bool RemoveFile(const std::string& path) override { return ::DeleteFileA(path.c_str()) != 0; }

  bool SetNormalAttributes(const std::string& path) override {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
      return ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
    // A junction or symbolic link: change the link itself through a handle
    // that does not follow it, never what it points to.
    FileHandle link(::CreateFileA(
        path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
        nullptr));
    if (!link.IsValid()) return false;
    FILE_BASIC_INFO info = {};  // zero times stay unchanged
    info.FileAttributes = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    return ::SetFileInformationByHandle(link.get(), FileBasicInfo, &info, sizeof info) != 0;
  }

  bool GetLastWriteTime(const std::string& path, std::int64_t* seconds) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    *seconds = FileTimeToUnixSeconds(data.ftLastWriteTime);
    return true;
  }

  bool GetCreationTime(const std::string& path, std::int64_t* seconds) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    const FILETIME& created = data.ftCreationTime;
    bool kept = created.dwLowDateTime != 0 || created.dwHighDateTime != 0;
    *seconds = FileTimeToUnixSeconds(kept ? created : data.ftLastWriteTime);
    return true;
  }

  bool GetWorkingDir(std::string* path) override {
    return ReadSizedText(
        path, [](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); });
  }

  bool SetWorkingDir(const std::string& path) override {
    return ::SetCurrentDirectoryA(path.c_str()) != 0;
  }

  std::string GetTempDir() override {
    std::string path;
    ReadSizedText(&path, [](char* buffer, DWORD size) { return ::GetTempPathA(size, buffer); });
    return path;
  }

  bool FindOnSearchPath(const std::string& name, std::string* full_path) override {
    full_path->clear();
    if (name.empty()) return false;
    return ReadSizedText(full_path, [&name](char* buffer, DWORD size) {
      return ::SearchPathA(nullptr, name.c_str(), nullptr, size, buffer, nullptr);
    });
  }

  std::string GetProgramPath() override {
    std::string buffer(MAX_PATH, '\0');
    while (true) {
      DWORD got = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (got == 0) return std::string();
      // A full buffer means the name was cut.
      if (got < buffer.size()) {
        buffer.resize(got);
        return buffer;
      }
      if (buffer.size() >= 32768) return std::string();
      buffer.resize(buffer.size() * 2);
    }
  }

  DriveType QueryDriveType(const std::string& root) override {
    return static_cast<DriveType>(::GetDriveTypeA(root.c_str()));
  }

  bool GetNetworkName(const std::string& path, std::string* remote) override {
    remote->clear();
    if (path.size() < 2 || path[1] != ':') return false;
    const std::string device = path.substr(0, 2);
    // Only a network drive has a connection; asking the drive type first
    // spares every other run the network library.
    if (::GetDriveTypeA((device + "\\").c_str()) != DRIVE_REMOTE) return false;
    const auto get_connection = NetworkConnectionFunction();
    if (get_connection == nullptr) return false;
    std::string buffer(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD size = static_cast<DWORD>(buffer.size());
      DWORD result = get_connection(device.c_str(), buffer.data(), &size);
      if (result == NO_ERROR) {
        buffer.resize(std::char_traits<char>::length(buffer.c_str()));
        *remote = std::move(buffer);
        return true;
      }
      if (result != ERROR_MORE_DATA) return false;
      buffer.resize(size + 1);
    }
    return false;
  }

  bool GetLogonUser(std::string* name) override {
    name->clear();
    std::string buffer(257, '\0');  // UNLEN + 1
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD size = static_cast<DWORD>(buffer.size());
      if (::GetUserNameA(buffer.data(), &size)) {
        buffer.resize(std::char_traits<char>::length(buffer.c_str()));
        *name = std::move(buffer);
        return true;
      }
      if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
      buffer.resize(size);
    }
    return false;
  }

  bool ReadClassesRootDefault(const std::string& subkey, std::string* value) override {
    value->clear();
    RegistryKey key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey.c_str(), 0, KEY_QUERY_VALUE, key.receive()) !=
        ERROR_SUCCESS) {
      return false;
    }
    BYTE buffer[260];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, buffer, &size) != ERROR_SUCCESS) {
      return false;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    // The stored string may or may not carry its terminating zero.
    std::string text(reinterpret_cast<const char*>(buffer), size);
    size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    *value = std::move(text);
    return true;
  }

  bool IsCtrlKeyDown() override { return ::GetKeyState(VK_CONTROL) < 0; }

  std::uint32_t GetTickCount() override { return ::GetTickCount(); }

  std::int64_t GetUnixTime() override {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return FileTimeToUnixSeconds(now);
  }

  bool GetLocalTime(std::tm* local) override {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    *local = std::tm();
    local->tm_year = now.wYear - 1900;
    local->tm_mon = now.wMonth - 1;
    local->tm_mday = now.wDay;
    local->tm_hour = now.wHour;
    local->tm_min = now.wMinute;
    local->tm_sec = now.wSecond;
    local->tm_wday = now.wDayOfWeek;
    local->tm_yday = DayOfYear(now.wYear, now.wMonth, now.wDay);
    local->tm_isdst = -1;
    return true;
  }

  std::string CreateGuidText() override {
    // From the system's random generator in a library already loaded: the
    // COM library would load the whole window system besides.
    unsigned char bytes[16];
    if (!::RtlGenRandom(bytes, sizeof bytes)) return std::string();
    return RandomGuidText(bytes);
  }

  std::string GetCommandLineText() override {
    const char* line = ::GetCommandLineA();
    std::string arguments;
    SplitProgramName(line != nullptr ? line : "", &arguments);
    return arguments;
  }

  bool GetEnvVar(const std::string& name, std::string* value) override {
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

  bool SetEnvVar(const std::string& name, const std::string& value) override {
    return ::SetEnvironmentVariableA(name.c_str(), value.c_str()) != 0;
  }

  void SetEnvVars(const std::vector<std::pair<std::string, std::string>>& variables) override {
    // Each SetEnvironmentVariableA moves the whole block; build it once.
    std::vector<std::string> block = GetEnvironmentBlock();
    ApplyAssignments(block, variables);
    if (!InstallBlock(block)) {
      for (const auto& [name, value] : variables) SetEnvVar(name, value);
    }
  }

  void SetEnvironmentBlock(const std::vector<std::string>& block) override {
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

  bool InstallBlock(const std::vector<std::string>& block) {
    std::string joined;
    for (const std::string& entry : block) {
      joined += entry;
      joined.push_back('\0');
    }
    joined.push_back('\0');
    int size = ::MultiByteToWideChar(CP_ACP, 0, joined.data(), static_cast<int>(joined.size()),
                                     nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, joined.data(), static_cast<int>(joined.size()), wide.data(),
                          size);
    return size > 0 && ::SetEnvironmentStringsW(wide.data());
  }

  std::vector<std::string> GetEnvironmentBlock() override {
    std::vector<std::string> block;
    char* strings = ::GetEnvironmentStringsA();
    if (strings == nullptr) return block;
    for (const char* entry = strings; *entry != '\0'; entry += block.back().size() + 1) {
      block.emplace_back(entry);
    }
    ::FreeEnvironmentStringsA(strings);
    return block;
  }

  std::string ExpandEnvVars(const std::string& text) override {
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

  bool StartProcess(const std::string& command_line, unsigned* error) override {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = command_line;  // the call may write into it
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
      *error = ::GetLastError();
      return false;
    }
    FileHandle process_handle(process.hProcess);
    FileHandle thread_handle(process.hThread);
    ::WaitForInputIdle(process.hProcess, 2000);
    *error = 0;
    return true;
  }

  std::string FormatSystemMessage(unsigned error) override {
    char* text = nullptr;
    DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text),
        0, nullptr);
    std::string message;
    if (length != 0 && text != nullptr) message.assign(text, length);
    if (text != nullptr) ::LocalFree(text);
    return message;
  }

  void ShowMessageBox(const std::string& text) override {
    // Its buttons are controls too.
    CommonControls();
    ::MessageBoxA(::GetActiveWindow(), text.c_str(), "Pagetrix", MB_OK);
  }

  int RunModalDialog(CDialog& dialog) override { return RunModalDialogWin32(dialog); }

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
    unsigned error = 0;
    return StartProcess(command, &error);
  }

 private:
  // A path the file finder and the attributes answer alike: a name below a
  // folder, without pattern characters or a trailing separator, not a drive,
  // a drive's root or a share, nor a device.
  static bool IsPlainPath(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    if (path.back() == '\\' || path.back() == '/' || IsDeviceName(path)) return false;
    if (path.size() <= 3 && path.find(':') != std::string::npos) return false;
    const bool unc = path.size() > 1 && (path[0] == '\\' || path[0] == '/') &&
                     (path[1] == '\\' || path[1] == '/');
    return !unc || std::count_if(path.begin(), path.end(),
                                 [](char c) { return c == '\\' || c == '/'; }) >= 4;
  }

  static bool FullPath(const std::string& path, std::string* full) {
    return ReadSizedText(full, [&path](char* buffer, DWORD size) {
      return ::GetFullPathNameA(path.c_str(), size, buffer, nullptr);
    });
  }
};

}  // namespace

Platform& SystemPlatform() {
  static Win32Platform platform;
  return platform;
}

void InitPlatformArguments(int, char**) {}
