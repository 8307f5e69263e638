// Folders and paths on POSIX: listing, finding, making and removing
// folders, what a path is and whose, the current and temporary folders.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/host_platform.h"

namespace {

std::string CurrentDirectory() {
  std::string buffer(256, '\0');
  while (true) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(std::strlen(buffer.c_str()));
      return buffer;
    }
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

// The path made absolute against the current directory and normalized
// lexically, as GetFullPathNameA does: no symbolic links are followed.
std::string AbsolutePath(const std::string& path) {
  std::string joined = (!path.empty() && path[0] == '/') ? path : CurrentDirectory() + "/" + path;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    std::string part = joined.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    start = end + 1;
  }
  if (parts.empty()) return "/";
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  return out;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ParentOf(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  size_t slash = trimmed.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return trimmed.substr(0, slash);
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

}  // namespace

bool HostPlatform::ListFolder(const std::string& dir, std::vector<FolderEntry>* entries) {
  entries->clear();
  DIR* handle = ::opendir(dir.c_str());
  if (handle == nullptr) return false;
  const std::string base = AbsolutePath(dir);
  while (struct dirent* entry = ::readdir(handle)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    FolderEntry found;
    found.path = JoinPath(base, name);
    // A link is marked as one, so that deleting a tree removes the link
    // instead of emptying the folder it points to.
    unsigned char type = entry->d_type;
    struct stat st;
    if (type == DT_UNKNOWN && ::lstat(found.path.c_str(), &st) == 0)
      type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
    found.link = type == DT_LNK;
    const bool folder = type == DT_DIR ||
                        (found.link && ::stat(found.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
    found.kind = folder ? PathKind::kFolder : PathKind::kFile;
    entries->push_back(std::move(found));
  }
  ::closedir(handle);
  return true;
}

PathKind HostPlatform::FindPath(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return PathKind::kMissing;
  return S_ISDIR(st.st_mode) ? PathKind::kFolder : PathKind::kFile;
}

bool HostPlatform::CreateFolder(const std::string& path) {
  // Private to the user: without TMPDIR the base lies in the shared /tmp.
  return ::mkdir(path.c_str(), 0700) == 0;
}

RemoveFolderResult HostPlatform::RemoveFolder(const std::string& path) {
  if (::rmdir(path.c_str()) == 0) return RemoveFolderResult::kRemoved;
  switch (errno) {
    case ENOENT:
      return RemoveFolderResult::kMissing;
    case ENOTDIR:
      // A file in the place of the folder itself is not a missing path.
      return IsDirectory(ParentOf(path)) ? RemoveFolderResult::kFailed
                                         : RemoveFolderResult::kMissing;
    case ENOTEMPTY:
    case EEXIST:
      return RemoveFolderResult::kNotEmpty;
    default:
      return RemoveFolderResult::kFailed;
  }
}

namespace {

PathKind KindOfMode(mode_t mode) {
  if (S_ISLNK(mode)) return PathKind::kLink;
  if (S_ISREG(mode)) return PathKind::kFile;
  if (S_ISDIR(mode)) return PathKind::kFolder;
  return PathKind::kOther;
}

PathKind KindOfError(int error) {
  return error == ENOENT || error == ENOTDIR ? PathKind::kMissing : PathKind::kOther;
}

}  // namespace

PathInfo HostPlatform::Inspect(const std::string& path, Links links) {
  PathInfo info;
#ifdef STATX_BTIME
  // One call for the kind, the owner and both times.
  struct statx sx;
  const int flags = links == Links::kFollow ? 0 : AT_SYMLINK_NOFOLLOW;
  if (::statx(AT_FDCWD, path.c_str(), flags, STATX_TYPE | STATX_UID | STATX_MTIME | STATX_BTIME,
              &sx) == 0) {
    info.kind = KindOfMode(sx.stx_mode);
    info.owned_by_user = sx.stx_uid == ::geteuid();
    info.written = sx.stx_mtime.tv_sec;
    const bool kept = (sx.stx_mask & STATX_BTIME) != 0 && sx.stx_btime.tv_sec != 0;
    info.created = kept ? sx.stx_btime.tv_sec : info.written;
    return info;
  }
  if (errno != ENOSYS) {
    info.kind = KindOfError(errno);
    return info;
  }
#endif
  struct stat st;
  if ((links == Links::kFollow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
    info.kind = KindOfError(errno);
    return info;
  }
  info.kind = KindOfMode(st.st_mode);
  info.owned_by_user = st.st_uid == ::geteuid();
  info.created = info.written = st.st_mtime;
  return info;
}

bool HostPlatform::IsOwnPlace(const std::string& path) {
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

bool HostPlatform::CanEnterFolder(const std::string& path) {
  const std::string current = CurrentDirectory();
  if (current.empty() || path.empty() || ::chdir(path.c_str()) != 0) return false;
  // Back the way it came, which is there.
  const bool back = ::chdir(current.c_str()) == 0;
  (void)back;
  return true;
}

std::string HostPlatform::GetTempFolder() {
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && *tmpdir != '\0') return tmpdir;
  return "/tmp/";
}

bool HostPlatform::FindOnSearchPath(const std::string& name, std::string* full_path) {
  full_path->clear();
  if (name.empty()) return false;
  if (name.find('/') != std::string::npos) {
    std::string candidate = AbsolutePath(name);
    if (!PathExists(candidate)) return false;
    *full_path = candidate;
    return true;
  }
  std::vector<std::string> dirs;
  std::string module = GetProgramPath();
  if (!module.empty()) dirs.push_back(ParentOf(module));
  dirs.push_back(CurrentDirectory());
  if (const char* path = std::getenv("PATH")) {
    std::string list = path;
    size_t start = 0;
    while (start <= list.size()) {
      size_t end = list.find(':', start);
      if (end == std::string::npos) end = list.size();
      std::string dir = list.substr(start, end - start);
      dirs.push_back(dir.empty() ? std::string(".") : dir);
      start = end + 1;
    }
  }
  for (const std::string& dir : dirs) {
    std::string candidate = AbsolutePath(JoinPath(dir, name));
    if (PathExists(candidate)) {
      *full_path = candidate;
      return true;
    }
  }
  return false;
}

std::string HostPlatform::GetProgramPath() {
  std::string buffer(256, '\0');
  while (true) {
    ssize_t got = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (got < 0) return std::string();
    if (static_cast<size_t>(got) < buffer.size()) {
      buffer.resize(static_cast<size_t>(got));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}
