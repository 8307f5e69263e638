/// The parts of Platform that both systems implement alike, through the
/// guarded file operations of guarded_files.h.
#ifndef PAGETRIX_PLATFORM_GUARDED_PLATFORM_H_
#define PAGETRIX_PLATFORM_GUARDED_PLATFORM_H_

#include <memory>
#include <string>

#include "platform/guarded_files.h"
#include "platform/platform.h"

class GuardedPlatform : public Platform {
 public:
  ReadResult ReadFileExclusive(const std::string& path, std::string* bytes) override {
    // Shared with other readers: simultaneous logons read the same files.
    return static_cast<ReadResult>(guarded::ReadRegularFile(path, bytes));
  }
  bool ReadFile(const std::string& path, std::string* bytes) override {
    return guarded::ReadRegularFile(path, bytes) == guarded::Read::kOk;
  }
  bool ReadFileHead(const std::string& path, size_t max_bytes, std::string* bytes) override {
    return guarded::ReadRegularFileHead(path, max_bytes, bytes);
  }
  CopyOutcome CopyFileTo(const std::string& from, const std::string& to,
                         bool fail_if_exists) override {
    return guarded::CopyRegularFile(from, to, fail_if_exists);
  }
  bool RewriteFile(const std::string& path, std::string_view bytes) override {
    return guarded::RewriteRegularFile(path, bytes);
  }
  bool RemoveFileInTree(const std::string& path, const std::string& root) override {
    return guarded::DeleteFileInTree(path, root);
  }
  guarded::PathType GetPathType(const std::string& path, bool follow_links) override {
    return guarded::GetPathType(path, follow_links);
  }
  bool IsOwnRealFolder(const std::string& path) override { return guarded::IsOwnRealFolder(path); }
  bool IsOwnPlace(const std::string& path) override { return guarded::IsOwnPlace(path); }
  bool IsSameFile(const std::string& a, const std::string& b) override {
    return guarded::IsSameFile(a, b);
  }
  std::unique_ptr<guarded::FolderLock> LockFolder(const std::string& folder) override {
    return guarded::LockFolder(folder);
  }
  bool IsFolderLocked(const std::string& folder) override {
    return guarded::IsFolderLocked(folder);
  }
};

#endif  // PAGETRIX_PLATFORM_GUARDED_PLATFORM_H_
