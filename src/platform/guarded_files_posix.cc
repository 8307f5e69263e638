// The guarded file operations on POSIX.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// What a copy or rewrite finds at its target.
enum class Examined { kMissing, kReplaceable, kRefused };

struct ExistingFile {
  struct stat st;
  std::string real_path;  // what a link names, resolved; else the path itself
  ScopedFd held{-1};      // shared-locked while it is replaced: no writer starts meanwhile
};

// Whether the file at `path` may be replaced: a regular file that is not
// read-only and that no process holds open for writing. Every writer of
// this program holds an exclusive lock, which a shared lock is refused
// against -- also a run log or folder lock held by this very process.
Examined ExamineExisting(const std::string& path, ExistingFile* file) {
  struct stat link;
  if (::stat(path.c_str(), &file->st) != 0) {
    // A dangling link is refused: where it leads is not looked into.
    if (errno != ENOENT || (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)))
      return Examined::kRefused;
    return Examined::kMissing;
  }
  // Like the Windows copy: no folder or device, no read-only file.
  if (!S_ISREG(file->st.st_mode) || (file->st.st_mode & S_IWUSR) == 0) return Examined::kRefused;
  const int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd = ::open(path.c_str(), O_RDONLY | flags);
  if (fd < 0) fd = ::open(path.c_str(), O_WRONLY | flags);  // a write-only file
  ScopedFd& held = file->held;
  held.Reset(fd);
  struct stat opened;
  if (!held.valid() || ::fstat(held.get(), &opened) != 0 || opened.st_dev != file->st.st_dev ||
      opened.st_ino != file->st.st_ino || !LockLikeShareMode(held.get(), false))
    return Examined::kRefused;
  file->real_path = path;
  if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return Examined::kRefused;
    file->real_path = resolved;
    std::free(resolved);
  }
  return Examined::kReplaceable;
}

// Writes a new file beside `target` with `write` and renames it over
// `target`; on any failure the new file goes and `target` stays as it was.
template <typename Write>
bool WriteBesideAndRename(const std::string& target, mode_t mode, const Write& write) {
  const std::string written = TemporaryNameBeside(target, static_cast<unsigned long>(::getpid()));
  ScopedFd out(::open(written.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode));
  if (!out.valid()) return false;
  bool ok = write(out.get());
  if (::close(out.Release()) != 0) ok = false;
  if (ok) ok = ::rename(written.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(written.c_str());
  return ok;
}

// Owned by this user or by the system itself.
bool IsOwnOrSystems(const struct stat& st) { return st.st_uid == ::geteuid() || st.st_uid == 0; }

// Every existing folder or link named on the way down `absolute`, each
// looked at without following it. A missing part ends the walk: what
// follows is made by this user.
bool IsOwnChain(const std::string& absolute) {
  for (size_t end = absolute.find('/', 1);; end = absolute.find('/', end + 1)) {
    const std::string prefix = absolute.substr(0, end);
    struct stat st;
    if (!prefix.empty() && prefix.back() != '/') {
      if (::lstat(prefix.c_str(), &st) != 0) return errno == ENOENT;
      if (!IsOwnOrSystems(st)) return false;
    }
    if (end == std::string::npos) return true;
  }
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
  // Like the Windows copy, the copy keeps the source's last-write time.
  const auto copy = [&in, &source](int out) {
    if (!CopyContents(in.get(), out)) return false;
    struct timespec times[2] = {source.st_atim, source.st_mtim};
    return ::futimens(out, times) == 0;
  };
  ExistingFile target;
  switch (fail_if_exists ? Examined::kMissing : ExamineExisting(to, &target)) {
    case Examined::kMissing: {
      ScopedFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                          source.st_mode & 0777));
      if (!out.valid()) {
        return fail_if_exists && errno == EEXIST ? Copy::kTargetExists : Copy::kFailed;
      }
      bool ok = copy(out.get());
      if (::close(out.Release()) != 0) ok = false;
      if (ok) return Copy::kCopied;
      ::unlink(to.c_str());
      return Copy::kFailed;
    }
    case Examined::kReplaceable:
      // Like the Windows copy: never the source itself.
      if (target.st.st_dev == source.st_dev && target.st.st_ino == source.st_ino)
        return Copy::kFailed;
      return WriteBesideAndRename(target.real_path, source.st_mode & 0777, copy) ? Copy::kReplaced
                                                                                 : Copy::kFailed;
    case Examined::kRefused:
      break;
  }
  return Copy::kFailed;
}

bool RewriteRegularFile(const std::string& path, std::string_view bytes) {
  ExistingFile target;
  const Examined examined = ExamineExisting(path, &target);
  if (examined == Examined::kRefused) return false;
  const bool existed = examined == Examined::kReplaceable;
  const std::string& real = existed ? target.real_path : path;
  const mode_t mode = existed ? target.st.st_mode & 07777 : 0666;
  return WriteBesideAndRename(real, mode, [&bytes, existed, mode](int out) {
    // The old file's permissions exactly, not as the umask leaves them.
    if (existed && ::fchmod(out, mode) != 0) return false;
    return WriteAll(out, bytes.data(), bytes.size());
  });
}

bool ReadRegularFileHead(const std::string& path, size_t max_bytes, std::string* bytes) {
  bytes->clear();
  struct stat st;
  ScopedFd fd(OpenRegularForReading(path, &st));
  if (!fd.valid() || !LockLikeShareMode(fd.get(), false)) return false;
  bytes->resize(max_bytes);
  size_t size = 0;
  while (size < max_bytes) {
    ssize_t got = ::read(fd.get(), bytes->data() + size, max_bytes - size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      bytes->clear();
      return false;
    }
    if (got == 0) break;
    size += static_cast<size_t>(got);
  }
  bytes->resize(size);
  return true;
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

bool IsOwnPlace(const std::string& path) {
  std::string absolute = path;
  if (absolute.empty() || absolute[0] != '/') {
    char* cwd = ::getcwd(nullptr, 0);
    if (cwd == nullptr) return false;
    absolute = std::string(cwd) + "/" + absolute;
    std::free(cwd);
  }
  if (!IsOwnChain(absolute)) return false;
  // A link of the user's own may still lead into another user's folder: the
  // real path of the longest part that exists is looked at as well.
  std::string rest;
  std::string existing = absolute;
  while (true) {
    char* resolved = ::realpath(existing.c_str(), nullptr);
    if (resolved != nullptr) {
      const std::string real = resolved;
      std::free(resolved);
      return IsOwnChain(real + rest);
    }
    const size_t slash = existing.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return true;
    rest = existing.substr(slash) + rest;
    existing.erase(slash);
  }
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
