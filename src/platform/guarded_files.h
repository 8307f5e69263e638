/// File operations that end on any input and stay inside their folders,
/// implemented once per system (guarded_files_posix.cc, _win32.cc). The
/// platform's implementations forward to them.
#ifndef PAGETRIX_PLATFORM_GUARDED_FILES_H_
#define PAGETRIX_PLATFORM_GUARDED_FILES_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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

/// Reads at most `max_bytes` from the start of a regular file, opened as
/// ReadRegularFile opens it; false if it cannot be opened or read.
bool ReadRegularFileHead(const std::string& path, size_t max_bytes, std::string* bytes);

/// Outcome of copying a file. The copy itself tells whether the target was
/// there, so a caller needs no look at the target beforehand.
enum class Copy {
  kCopied,        ///< a new file was written
  kReplaced,      ///< an existing file was replaced
  kTargetExists,  ///< refused, as asked: the target exists and is untouched
  kFailed,        ///< nothing copied; the target may or may not exist
};

/// Copies a regular file, sharing the source with other readers, and keeps
/// its last-write time. With `fail_if_exists` an existing target is refused
/// (kTargetExists). Otherwise an existing target is replaced the way
/// RewriteRegularFile replaces a file, and refused (kFailed) where that
/// refuses. A copy that fails midway leaves no new file and the old target
/// as it was.
Copy CopyRegularFile(const std::string& from, const std::string& to, bool fail_if_exists);

/// Gives the file `path` the contents `bytes`: written beside it and renamed
/// into place, so that a reader sees the old file or the new one whole, never
/// a part, and a failure leaves the old one as it was. A missing file is
/// made. Refused (false, nothing changed) when the file is read-only, is no
/// regular file, or is held open for writing by any process, this one
/// included (POSIX: its writer's exclusive lock tells; Windows: its
/// handle's share mode) -- so a run log or the lock of a running run is
/// never replaced. Through a link the file it names is replaced.
bool RewriteRegularFile(const std::string& path, std::string_view bytes);

/// Name of the file a copy or rewrite writes beside `target` before renaming
/// it into place: unique to the process and the call.
inline std::string TemporaryNameBeside(const std::string& target, unsigned long process_id) {
  static std::atomic<unsigned> counter{0};
  return target + ".~" + std::to_string(process_id) + "-" + std::to_string(counter++) + ".tmp";
}

enum class PathType { kMissing, kFile, kFolder, kLink, kOther };
/// What a path names; a link (or a reparse point) is kLink unless
/// `follow_links` is set; devices, pipes and sockets are kOther.
PathType GetPathType(const std::string& path, bool follow_links);

/// A real folder of the user's own: not a link or reparse point, and on
/// POSIX owned by the user.
bool IsOwnRealFolder(const std::string& path);

/// A place no other user can have made or turned: on POSIX neither the path
/// nor any folder or link on the way to it (nor on the way to what it
/// really names) belongs to another user than this one or the system's
/// own (root). Missing parts count as the user's own. Always true on Win32.
bool IsOwnPlace(const std::string& path);

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
