/// A Platform that hands every call to another one; decorators (the dry run,
/// the tests' double) override the few calls they change.
#ifndef PAGETRIX_PLATFORM_PLATFORM_WRAPPER_H_
#define PAGETRIX_PLATFORM_PLATFORM_WRAPPER_H_

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

class PlatformWrapper : public Platform {
 public:
  /// Forwards to `target`, which must outlive the wrapper.
  explicit PlatformWrapper(Platform& target = SystemPlatform()) : target_(target) {}

  Platform& target() { return target_; }

  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
    return target_.OpenForReading(path);
  }
  std::unique_ptr<WritableFile> NewWritableFile(const std::string& path, bool exclusive) override {
    return target_.NewWritableFile(path, exclusive);
  }
  bool ListFolder(const std::string& dir, std::vector<FolderEntry>* entries) override {
    return target_.ListFolder(dir, entries);
  }
  PathKind FindPath(const std::string& path) override { return target_.FindPath(path); }
  bool CreateFolder(const std::string& path) override { return target_.CreateFolder(path); }
  RemoveFolderResult RemoveFolder(const std::string& path) override {
    return target_.RemoveFolder(path);
  }
  CopyOutcome CopyFileTo(const std::string& from, const std::string& to,
                         bool fail_if_exists) override {
    return target_.CopyFileTo(from, to, fail_if_exists);
  }
  bool RewriteFile(const std::string& path, std::string_view bytes) override {
    return target_.RewriteFile(path, bytes);
  }
  bool RemoveFile(const std::string& path, const std::string& root) override {
    return target_.RemoveFile(path, root);
  }
  PathInfo Inspect(const std::string& path, Links links) override {
    return target_.Inspect(path, links);
  }
  bool IsOwnPlace(const std::string& path) override { return target_.IsOwnPlace(path); }
  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override {
    return target_.LockFolder(folder);
  }
  bool IsFolderLocked(const std::string& folder) override { return target_.IsFolderLocked(folder); }
  bool CanEnterFolder(const std::string& path) override { return target_.CanEnterFolder(path); }
  std::string GetTempFolder() override { return target_.GetTempFolder(); }
  bool FindOnSearchPath(const std::string& name, std::string* full_path) override {
    return target_.FindOnSearchPath(name, full_path);
  }
  std::string GetProgramPath() override { return target_.GetProgramPath(); }

  DriveType QueryDriveType(const std::string& root) override {
    return target_.QueryDriveType(root);
  }
  bool GetNetworkName(const std::string& path, std::string* remote) override {
    return target_.GetNetworkName(path, remote);
  }
  bool GetLogonUser(std::string* name) override { return target_.GetLogonUser(name); }
  bool ReadClassesRootDefault(const std::string& subkey, std::string* value) override {
    return target_.ReadClassesRootDefault(subkey, value);
  }
  std::uint32_t GetTickCount() override { return target_.GetTickCount(); }
  WallClock GetWallClock() override { return target_.GetWallClock(); }
  std::string CreateGuidText() override { return target_.CreateGuidText(); }

  std::string GetCommandLineText() override { return target_.GetCommandLineText(); }
  bool GetEnvVar(const std::string& name, std::string* value) override {
    return target_.GetEnvVar(name, value);
  }
  std::vector<std::string> GetEnvironmentBlock() override { return target_.GetEnvironmentBlock(); }
  std::string ExpandEnvVars(const std::string& text) override {
    return target_.ExpandEnvVars(text);
  }
  bool StartProcess(const std::string& command_line, std::string* failure) override {
    return target_.StartProcess(command_line, failure);
  }
  void SetEnvironmentBlock(const std::vector<std::string>& block) override {
    target_.SetEnvironmentBlock(block);
  }

 private:
  Platform& target_;
};

#endif  // PAGETRIX_PLATFORM_PLATFORM_WRAPPER_H_
