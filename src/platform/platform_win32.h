/// The Win32 implementation of Platform: the program's own system calls.
/// One class, defined across a file per concept.
#ifndef PAGETRIX_PLATFORM_PLATFORM_WIN32_H_
#define PAGETRIX_PLATFORM_PLATFORM_WIN32_H_

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32_handle.h"

class Win32Platform final : public Platform {
 public:
  // ---- files_win32.cc ----
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override;
  std::unique_ptr<WritableFile> NewWritableFile(const std::string& path, bool exclusive) override;
  CopyOutcome CopyFileTo(const std::string& from, const std::string& to,
                         bool fail_if_exists) override;
  bool RewriteFile(const std::string& path, std::string_view bytes) override;
  bool RemoveFile(const std::string& path, const std::string& root) override;
  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override;
  bool IsFolderLocked(const std::string& folder) override;

  // ---- folders_win32.cc ----
  bool ListFolder(const std::string& dir, std::vector<FolderEntry>* entries) override;
  PathKind FindPath(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  RemoveFolderResult RemoveFolder(const std::string& path) override;
  PathInfo Inspect(const std::string& path, Links links) override;
  bool IsOwnPlace(const std::string& path) override;
  bool CanEnterFolder(const std::string& path) override;
  std::string GetTempFolder() override;
  bool FindOnSearchPath(const std::string& name, std::string* full_path) override;
  std::string GetProgramPath() override;

  // ---- machine_win32.cc ----
  DriveType QueryDriveType(const std::string& root) override;
  bool GetNetworkName(const std::string& path, std::string* remote) override;
  bool GetLogonUser(std::string* name) override;
  bool ReadClassesRootDefault(const std::string& subkey, std::string* value) override;
  std::uint32_t GetTickCount() override;
  WallClock GetWallClock() override;
  std::string CreateGuidText() override;

  // ---- process_win32.cc ----
  std::string GetCommandLineText() override;
  bool GetEnvVar(const std::string& name, std::string* value) override;
  std::vector<std::string> GetEnvironmentBlock() override;
  void SetEnvironmentBlock(const std::vector<std::string>& block) override;
  std::string ExpandEnvVars(const std::string& text) override;
  bool StartProcess(const std::string& command_line, std::string* failure) override;

 private:
  /// Installs `block` as the whole environment at once; false if the
  /// system refuses.
  bool InstallBlock(const std::vector<std::string>& block);
};

/// Whether an open handle is a plain file on a disk, and its basic
/// information (files_win32.cc).
bool IsRegularDiskHandle(const FileHandle& file, FILE_BASIC_INFO* info);
/// A plain file on a disk, looked at without reading it (files_win32.cc).
bool IsRegularDiskFile(const std::string& path);

/// A file time as seconds since 1970 (UTC).
inline std::int64_t FileTimeToUnixSeconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  // 100-ns ticks from 1601 to 1970.
  constexpr std::int64_t kEpochOffset = 116444736000000000LL;
  return (static_cast<std::int64_t>(value.QuadPart) - kEpochOffset) / 10000000LL;
}

#endif  // PAGETRIX_PLATFORM_PLATFORM_WIN32_H_
