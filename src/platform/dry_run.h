/// A platform for walking a run without changing anything: reads and
/// questions go to the system; writes, copies, deletions, new folders and
/// the lock are recorded, and what they would leave behind answers the
/// later questions of the same walk.
#ifndef PAGETRIX_PLATFORM_DRY_RUN_H_
#define PAGETRIX_PLATFORM_DRY_RUN_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform_wrapper.h"

/// Whole files read from the system, kept for every walk of one check: a
/// configuration is read once, however many walks read it.
class DryRunReads {
 public:
  struct File {
    ReadResult result = ReadResult::kCannotOpen;
    std::string bytes;
  };
  /// The file as `real` reads it the first time it is asked for.
  const File& Read(Platform& real, const std::string& path);
  /// Whether `real` can read the file, without keeping its bytes (a copy's
  /// source, which may be large).
  ReadResult Probe(Platform& real, const std::string& path);

 private:
  std::map<std::string, File> files_;
  std::map<std::string, ReadResult> probed_;
};

/// The contract, method by method, where it differs from the system's:
/// - OpenForReading: a file this walk wrote or copied reads as written (a
///   copy as its source); one it removed cannot be opened; any other is
///   read from the system, once per DryRunReads, and read back from there.
/// - NewWritableFile: null where the system would surely refuse (the folder
///   does not exist, the path is a folder); else a file that keeps its bytes
///   and exists once closed.
/// - CreateFolder: recorded; false where the folder exists or its parent
///   does not.
/// - RemoveFolder, RemoveFile: recorded; they succeed where the path exists
///   (a folder only when empty).
/// - RewriteFile: recorded; fails where the path is no file or the lock.
/// - CopyFileTo: recorded; fails where the source is no readable file, the
///   target's folder does not exist, the target is a folder or the lock this
///   walk holds; refused
///   (kTargetExists) where asked and the target exists.
/// - LockFolder: recorded; a lock that holds nothing. IsFolderLocked: the system's.
/// - IsOwnPlace: for a folder the walk made, the answer for the real folder
///   nearest above it.
/// - FindPath, Inspect, ListFolder: what the
///   recorded changes left, else the system's answer. Paths are compared as
///   the system compares them: "." and ".." by name through the walk's own
///   folders (on POSIX only where the folder before them is there), a
///   backslash a separator only on Windows.
/// - StartProcess: recorded, nothing started.
/// Failures only a real write would meet (a full disk, a file another
/// program holds open) are not foreseen. Everything else is the system's.
class DryRunPlatform final : public PlatformWrapper {
 public:
  /// What the walk would have done to the file system, in order.
  struct Change {
    enum class Kind { kWrite, kCopy, kCreateFolder, kRemoveFile, kRemoveFolder, kLock, kStart };
    Kind kind;
    std::string path;
    std::string source;  ///< kCopy: what was copied
  };

  DryRunPlatform(Platform& real, DryRunReads& reads);
  ~DryRunPlatform() override;

  const std::vector<Change>& changes() const { return changes_; }
  /// How often this walk wrote or copied a file to `path`.
  int Writes(const std::string& path) const;
  /// What the walk records `path` under: paths of one file have one key.
  static std::string FileKey(const std::string& path) { return Key(path); }
  /// The names of the plain files directly in `folder` once the walk is
  /// done, the system's and the recorded ones, sorted.
  std::vector<std::string> FilesIn(const std::string& folder);

  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override;
  bool RewriteFile(const std::string& path, std::string_view bytes) override;
  std::unique_ptr<WritableFile> NewWritableFile(const std::string& path, bool exclusive) override;
  bool ListFolder(const std::string& dir, std::vector<FolderEntry>* entries) override;
  PathKind FindPath(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  RemoveFolderResult RemoveFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path, const std::string& root) override;
  CopyOutcome CopyFileTo(const std::string& from, const std::string& to,
                         bool fail_if_exists) override;
  PathInfo Inspect(const std::string& path, Links links) override;
  bool IsOwnPlace(const std::string& path) override;
  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override;
  bool StartProcess(const std::string& command_line, std::string* failure) override;

 private:
  class RecordingFile;
  // What the walk left at a path: a file (its bytes, or the file it is a
  // copy of), a folder, or nothing where the system has something.
  struct Node {
    enum class Kind { kFile, kFolder, kGone } kind = Kind::kFile;
    std::string bytes;
    std::string copy_of;     // a copied file reads as this path does
    bool too_large = false;  // written beyond what is kept for reading back
    int writes = 0;
    std::int64_t time = 0;
  };

  /// The key a path is recorded under: separators made one, a trailing one
  /// dropped, and where the system ignores letter case, upper-cased.
  static std::string Key(const std::string& path);
  static std::string ParentKey(const std::string& key);
  const Node* Find(const std::string& path) const;
  /// What the path is now: the walk's record, else the system's answer.
  PathKind TypeOf(const std::string& path);
  bool IsFolder(const std::string& path) { return TypeOf(path) == PathKind::kFolder; }
  bool ParentIsFolder(const std::string& path);
  bool DotStepsPassable(const std::string& path);
  /// Whether the path is the lock file of a folder this walk locked.
  bool IsHeldLock(const std::string& path) const;
  void Record(Change::Kind kind, const std::string& path, const std::string& source = {});
  void Put(const std::string& path, Node node);
  bool HasChildren(const std::string& path);

  DryRunReads& reads_;
  std::map<std::string, Node> nodes_;
  std::map<std::string, std::string> spelled_;  // key -> path as first written
  std::vector<Change> changes_;
};

#endif  // PAGETRIX_PLATFORM_DRY_RUN_H_
