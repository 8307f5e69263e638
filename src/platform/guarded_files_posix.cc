// The guarded file operations on POSIX.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "platform/guarded_files.h"
#include "platform/posix_fd.h"

namespace guarded {
namespace {

// Opens a regular file for reading without ever waiting: opening a named
// pipe for reading would wait for a writer, a terminal could become ours.
int OpenRegularForReading(const std::string& path, struct stat* st) {
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return -1;
  // Reads and writes of a regular file never wait anyway: the flag may stay.
  if (::fstat(fd.get(), st) != 0 || !S_ISREG(st->st_mode)) return -1;
  return fd.Release();
}

bool CopyContents(int in, int out) {
  char buffer[65536];
  while (true) {
    ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got == 0;
    if (!WriteAll(out, buffer, static_cast<size_t>(got))) return false;
  }
}

// A large file read into fresh memory takes a page fault every 4 KiB, which
// costs more than reading it; large pages, where the system offers them for
// the asking, take one every 2 MiB. Only a hint: nothing depends on it.
void AskForLargePages(const char* data, size_t size) {
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  if (size < 2 * kLargePage) return;
  const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t last = (begin + size) & ~(kLargePage - 1);
#ifdef MADV_HUGEPAGE
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)first;
  (void)last;
#endif
}

std::string Join(const std::string& folder, const char* name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string TemporaryNameBeside(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

class PosixFolderLock final : public FolderLock {
 public:
  PosixFolderLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixFolderLock() override {
    // Removed while still held, so nobody takes the lock of a finished run.
    ::unlink(path_.c_str());
    ::close(fd_);
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

Read ReadRegularFile(const std::string& path, std::string* bytes, bool exclusive,
                     std::uint64_t limit) {
  bytes->clear();
  struct stat st;
  ScopedFd fd(OpenRegularForReading(path, &st));
  if (!fd.valid() || !LockLikeShareMode(fd.get(), exclusive)) return Read::kCannotOpen;
  if (static_cast<std::uint64_t>(st.st_size) > limit) return Read::kReadError;
  try {
    // Straight into the string, the whole file in one read as a rule; the
    // one byte more sees the end, and a file that grows meanwhile is read on.
    size_t size = 0;
    bytes->reserve(static_cast<size_t>(st.st_size) + 1);
    AskForLargePages(bytes->data(), bytes->capacity());
    bytes->resize(static_cast<size_t>(st.st_size) + 1);
    while (true) {
      if (size == bytes->size()) {
        if (size > limit) return Read::kReadError;
        bytes->resize(std::min<std::uint64_t>(2 * size, limit + 1));
      }
      ssize_t got = ::read(fd.get(), bytes->data() + size, bytes->size() - size);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        bytes->resize(size);
        return Read::kReadError;
      }
      if (got == 0) {
        bytes->resize(size);
        return Read::kOk;
      }
      size += static_cast<size_t>(got);
      // The file may grow while it is read.
      if (size > limit) {
        bytes->resize(size);
        return Read::kReadError;
      }
    }
  } catch (const std::bad_alloc&) {
    bytes->clear();
    bytes->shrink_to_fit();
    return Read::kNoMemory;
  }
}

Copy CopyRegularFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  struct stat source;
  ScopedFd in(OpenRegularForReading(from, &source));
  if (!in.valid() || !LockLikeShareMode(in.get(), false)) return Copy::kFailed;
  struct stat target;
  const bool exists = ::stat(to.c_str(), &target) == 0;
  if (exists) {
    if (fail_if_exists) return Copy::kTargetExists;
    // Like the Windows copy: no overwriting of a folder or device, of a
    // read-only file, or of the source itself.
    if (!S_ISREG(target.st_mode) || (target.st_mode & S_IWUSR) == 0 ||
        (target.st_dev == source.st_dev && target.st_ino == source.st_ino))
      return Copy::kFailed;
  }
  struct stat link;
  // A new file is written in place; an existing one beside it, then renamed
  // over it, so a reader holding the old one keeps it whole. A link is
  // written through, as the administrator named it.
  const bool in_place = !exists || (::lstat(to.c_str(), &link) == 0 && S_ISLNK(link.st_mode));
  const std::string written = in_place ? to : TemporaryNameBeside(to);
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | (in_place ? O_TRUNC : O_EXCL);
  if (fail_if_exists) flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_EXCL;
  ScopedFd out(::open(written.c_str(), flags, source.st_mode & 0777));
  if (!out.valid()) return exists || errno != EEXIST ? Copy::kFailed : Copy::kTargetExists;
  bool ok = CopyContents(in.get(), out.get());
  // Like the Windows copy, the copy keeps the source's last-write time.
  struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (ok) ::futimens(out.get(), times);
  if (::close(out.Release()) != 0) ok = false;
  if (ok && !in_place) ok = ::rename(written.c_str(), to.c_str()) == 0;
  if (!ok) {
    // Only what this copy created goes: a link written through stays.
    if (!in_place || !exists) ::unlink(written.c_str());
    return Copy::kFailed;
  }
  return exists ? Copy::kReplaced : Copy::kCopied;
}

PathType GetPathType(const std::string& path, bool follow_links) {
  struct stat st;
  int got = follow_links ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
  if (got != 0) return errno == ENOENT || errno == ENOTDIR ? PathType::kMissing : PathType::kOther;
  if (S_ISLNK(st.st_mode)) return PathType::kLink;
  if (S_ISREG(st.st_mode)) return PathType::kFile;
  if (S_ISDIR(st.st_mode)) return PathType::kFolder;
  return PathType::kOther;
}

bool IsOwnRealFolder(const std::string& path) {
  std::string folder = path;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  struct stat st;
  return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

bool IsForeignFolder(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid != ::geteuid();
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool DeleteFileInTree(const std::string& path, const std::string& /*root*/) {
  // The listing never descends through a link, so what it finds lies in
  // the tree; only a link must not be followed now.
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
  return ::unlink(path.c_str()) == 0;
}

std::unique_ptr<FolderLock> LockFolder(const std::string& folder) {
  std::string path = Join(folder, kLockFileName);
  ScopedFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600));
  if (!fd.valid() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return nullptr;
  return std::make_unique<PosixFolderLock>(fd.Release(), std::move(path));
}

bool IsFolderLocked(const std::string& folder) {
  std::string path = Join(folder, kLockFileName);
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return false;
  return ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

}  // namespace guarded
