/// The POSIX implementation of Platform, for the native build that runs the
/// program's logic and tests on Linux. Where Windows and POSIX differ, it
/// imitates what the Windows build does, so both builds behave alike. One
/// class, defined across a file per concept.
#ifndef PAGETRIX_PLATFORM_PLATFORM_POSIX_H_
#define PAGETRIX_PLATFORM_PLATFORM_POSIX_H_

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

class PosixPlatform final : public Platform {
 public:
  // ---- files_posix.cc ----
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override;
  std::unique_ptr<WritableFile> NewWritableFile(const std::string& path, bool exclusive) override;
  CopyOutcome CopyFileTo(const std::string& from, const std::string& to,
                         bool fail_if_exists) override;
  bool RewriteFile(const std::string& path, std::string_view bytes) override;
  bool RemoveFile(const std::string& path, const std::string& root) override;
  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override;
  bool IsFolderLocked(const std::string& folder) override;

  // ---- folders_posix.cc ----
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

  // ---- machine_posix.cc ----
  DriveType QueryDriveType(const std::string& root) override;
  bool GetNetworkName(const std::string& path, std::string* remote) override;
  bool GetLogonUser(std::string* name) override;
  bool ReadClassesRootDefault(const std::string& subkey, std::string* value) override;
  std::uint32_t GetTickCount() override;
  WallClock GetWallClock() override;
  std::string CreateGuidText() override;

  // ---- process_posix.cc ----
  std::string GetCommandLineText() override;
  bool GetEnvVar(const std::string& name, std::string* value) override;
  std::vector<std::string> GetEnvironmentBlock() override;
  void SetEnvironmentBlock(const std::vector<std::string>& block) override;
  std::string ExpandEnvVars(const std::string& text) override;
  bool StartProcess(const std::string& command_line, std::string* failure) override;

 private:
  void ReapFinishedChildren();

  std::vector<pid_t> children_;
};

#endif  // PAGETRIX_PLATFORM_PLATFORM_POSIX_H_
