/// File operations that end on any input and stay inside their folders,
/// implemented once per system (guarded_files_posix.cc, _win32.cc). The
/// platform's implementations forward to them.
#ifndef PAGETRIX_PLATFORM_GUARDED_FILES_H_
#define PAGETRIX_PLATFORM_GUARDED_FILES_H_

#include <cstdint>
#include <memory>
#include <string>

namespace guarded {

/// Far above the largest real command file or template; a file beyond it
/// is refused instead of being read into memory.
inline constexpr std::uint64_t kMaxReadBytes = 512ull << 20;

enum class Read { kOk, kCannotOpen, kReadError, kNoMemory };

/// Reads a whole regular file, open for other readers while it is read. A
/// folder, device, pipe or socket cannot be opened; a file larger than
/// `limit` gives a read error; an allocation failure gives kNoMemory.
/// `exclusive` refuses every other opener (the old share mode of INI files).
Read ReadRegularFile(const std::string& path, std::string* bytes, bool exclusive = false,
                     std::uint64_t limit = kMaxReadBytes);

/// Outcome of copying a file. The copy itself tells whether the target was
/// there, so a caller needs no look at the target beforehand.
enum class Copy {
  kCopied,        ///< a new file was written
  kReplaced,      ///< an existing file was replaced
  kTargetExists,  ///< refused, as asked: the target exists and is untouched
  kFailed,        ///< nothing copied; the target may or may not exist
};

/// Copies a regular file, sharing the source with other readers, and keeps
/// its last-write time. An existing target is replaced by a file written
/// beside it and renamed into place (POSIX), so that a process holding the
/// target open keeps what it had. With `fail_if_exists` an existing target
/// is refused (kTargetExists). A copy that fails midway leaves no new file.
Copy CopyRegularFile(const std::string& from, const std::string& to, bool fail_if_exists);

enum class PathType { kMissing, kFile, kFolder, kLink, kOther };
/// What a path names; a link (or a reparse point) is kLink unless
/// `follow_links` is set; devices, pipes and sockets are kOther.
PathType GetPathType(const std::string& path, bool follow_links);

/// A real folder of the user's own: not a link or reparse point, and on
/// POSIX owned by the user.
bool IsOwnRealFolder(const std::string& path);

/// A real folder that belongs to another user (POSIX; never on Win32).
bool IsForeignFolder(const std::string& path);

/// Both paths name the same existing file.
bool IsSameFile(const std::string& a, const std::string& b);

/// Deletes a file found below the folder `root`. A link is removed as a
/// link or left alone, never followed; the read-only attribute is reset
/// only on a file that really lies inside `root`.
bool DeleteFileInTree(const std::string& path, const std::string& root);

/// Name of the lock a run holds in its output folder while it works.
inline constexpr char kLockFileName[] = "Pagetrix.lck";

/// The lock of a folder; released (and its file removed) when destroyed.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};
/// Takes the lock of a folder; null if that is not possible.
std::unique_ptr<FolderLock> LockFolder(const std::string& folder);
/// Whether another process holds the lock of this folder now.
bool IsFolderLocked(const std::string& folder);

}  // namespace guarded

#endif  // PAGETRIX_PLATFORM_GUARDED_FILES_H_
