/// The system's own implementation of Platform for this build: one class,
/// declared once for both systems and defined across a file per concept
/// (files_*, folders_*, machine_*, process_*), each system's in its own files.
#ifndef PAGETRIX_PLATFORM_HOST_PLATFORM_H_
#define PAGETRIX_PLATFORM_HOST_PLATFORM_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

class HostPlatform final : public Platform {
 public:
  // ---- files_{posix,win32}.cc ----
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override;
  std::unique_ptr<WritableFile> NewWritableFile(const std::string& path, bool exclusive) override;
  CopyOutcome CopyFileTo(const std::string& from, const std::string& to,
                         bool fail_if_exists) override;
  bool RewriteFile(const std::string& path, std::string_view bytes) override;
  bool RemoveFile(const std::string& path, const std::string& root) override;
  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override;
  bool IsFolderLocked(const std::string& folder) override;

  // ---- folders_{posix,win32}.cc ----
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

  // ---- machine_{posix,win32}.cc ----
  DriveType QueryDriveType(const std::string& root) override;
  bool GetNetworkName(const std::string& path, std::string* remote) override;
  bool GetLogonUser(std::string* name) override;
  bool ReadClassesRootDefault(const std::string& subkey, std::string* value) override;
  std::uint32_t GetTickCount() override;
  WallClock GetWallClock() override;
  std::string CreateGuidText() override;

  // ---- process_{posix,win32}.cc ----
  std::string GetCommandLineText() override;
  bool GetEnvVar(const std::string& name, std::string* value) override;
  std::vector<std::string> GetEnvironmentBlock() override;
  void SetEnvironmentBlock(const std::vector<std::string>& block) override;
  std::string ExpandEnvVars(const std::string& text) override;
  bool StartProcess(const std::string& command_line, std::string* failure) override;
};

#endif  // PAGETRIX_PLATFORM_HOST_PLATFORM_H_
