// Files on POSIX: reading, writing, copying, rewriting and deleting them,
// and the lock of a folder.
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

#include "platform/files_common.h"
#include "platform/host_platform.h"
#include "platform/posix_fd.h"

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

}  // namespace

// Large pages take a page fault every 2 MiB.
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

namespace {

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

class PosixReadableFile final : public ReadableFile {
 public:
  PosixReadableFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

  std::uint64_t Size() const override { return size_; }

  bool Read(char* into, size_t size, size_t* got) override {
    *got = 0;
    while (*got < size) {
      const ssize_t n = ::read(fd_.get(), into + *got, size - *got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) break;
      *got += static_cast<size_t>(n);
    }
    return true;
  }

 private:
  ScopedFd fd_;
  std::uint64_t size_;
};

class PosixWritableFile final : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  ~PosixWritableFile() override { Close(); }

  bool Append(std::string_view data) override {
    if (fd_ < 0) return false;
    return WriteAll(fd_, data.data(), data.size());
  }

  bool Close() override {
    if (fd_ < 0) return true;
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<ReadableFile> HostPlatform::OpenForReading(const std::string& path) {
  struct stat st;
  ScopedFd fd(OpenRegularForReading(path, &st));
  if (!fd.valid() || !LockLikeShareMode(fd.get(), false)) return nullptr;
  return std::make_unique<PosixReadableFile>(fd.Release(), static_cast<std::uint64_t>(st.st_size));
}

std::unique_ptr<WritableFile> HostPlatform::NewWritableFile(const std::string& path,
                                                            bool exclusive) {
  // Truncate only once the lock is held, so that a refused open leaves the
  // other holder's file alone.
  // Never waits for a pipe's reader; only a plain file is written.
  ScopedFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666));
  if (!fd.valid()) return nullptr;
  struct stat st;
  // Writes to a regular file never wait anyway: the flag may stay.
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  // Readers share a file only among themselves, as under Windows, where
  // they let no writer in: every writer takes the exclusive lock.
  (void)exclusive;
  if (!LockLikeShareMode(fd.get(), true)) return nullptr;
  if (st.st_size != 0 && ::ftruncate(fd.get(), 0) != 0) return nullptr;
  return std::make_unique<PosixWritableFile>(fd.Release());
}

CopyOutcome HostPlatform::CopyFileTo(const std::string& from, const std::string& to,
                                     bool fail_if_exists) {
  struct stat source;
  ScopedFd in(OpenRegularForReading(from, &source));
  if (!in.valid() || !LockLikeShareMode(in.get(), false)) return CopyOutcome::kFailed;
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
        return fail_if_exists && errno == EEXIST ? CopyOutcome::kTargetExists
                                                 : CopyOutcome::kFailed;
      }
      bool ok = copy(out.get());
      if (::close(out.Release()) != 0) ok = false;
      if (ok) return CopyOutcome::kCopied;
      ::unlink(to.c_str());
      return CopyOutcome::kFailed;
    }
    case Examined::kReplaceable:
      // Like the Windows copy: never the source itself.
      if (target.st.st_dev == source.st_dev && target.st.st_ino == source.st_ino)
        return CopyOutcome::kFailed;
      return WriteBesideAndRename(target.real_path, source.st_mode & 0777, copy)
                 ? CopyOutcome::kReplaced
                 : CopyOutcome::kFailed;
    case Examined::kRefused:
      break;
  }
  return CopyOutcome::kFailed;
}

bool HostPlatform::RewriteFile(const std::string& path, std::string_view bytes) {
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

bool HostPlatform::RemoveFile(const std::string& path, const std::string& /*root*/) {
  // The listing never descends through a link, so what it finds lies in
  // the tree; only a link must not be followed now.
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
  return ::unlink(path.c_str()) == 0;
}

std::unique_ptr<FolderLock> HostPlatform::LockFolder(const std::string& folder) {
  std::string path = Join(folder, kLockFileName);
  ScopedFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600));
  if (!fd.valid() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return nullptr;
  return std::make_unique<PosixFolderLock>(fd.Release(), std::move(path));
}

bool HostPlatform::IsFolderLocked(const std::string& folder) {
  std::string path = Join(folder, kLockFileName);
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return false;
  return ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}
