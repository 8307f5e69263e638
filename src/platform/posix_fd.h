/// File descriptor helpers of the POSIX implementation.
#ifndef PAGETRIX_PLATFORM_POSIX_FD_H_
#define PAGETRIX_PLATFORM_POSIX_FD_H_

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  ~ScopedFd() { Reset(); }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

// Windows share modes are imitated with flock: exclusive opens take an
// exclusive lock, ordinary ones a shared lock, so either kind fails while the
// other kind holds the file. File systems without locks do not refuse.
inline bool LockLikeShareMode(int fd, bool exclusive) {
  if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return true;
  return errno != EWOULDBLOCK && errno != EINTR;
}

inline bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t put = ::write(fd, data, size);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

#endif  // PAGETRIX_PLATFORM_POSIX_FD_H_
