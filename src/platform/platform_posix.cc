// The POSIX implementation of Platform, for the native build that runs the
// program's logic and tests on Linux. Where Windows and POSIX differ, it
// imitates what the Windows build does, so both builds behave alike.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <list>
#include <random>
#include <sstream>

#include "base/text.h"
#include "platform/command_line_split.h"
#include "platform/dialog_impl.h"
#include "platform/env_block.h"
#include "platform/env_expand.h"
#include "platform/guarded_platform.h"
#include "platform/guid_text.h"
#include "platform/platform.h"
#include "platform/posix_fd.h"

extern char** environ;

namespace {

std::vector<std::string>& ProgramArguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

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

// Windows matches variable names without regard to ASCII case; an exact
// match wins, else the first entry equal without case.
const char* FindEnvironmentEntry(const std::string& name, std::string* actual_name) {
  if (name.empty() || name.find('=') != std::string::npos) return nullptr;
  if (const char* value = std::getenv(name.c_str())) {
    if (actual_name != nullptr) *actual_name = name;
    return value;
  }
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr) continue;
    if (EqualsNoCaseAscii(std::string_view(*entry, static_cast<size_t>(equals - *entry)), name)) {
      if (actual_name != nullptr) actual_name->assign(*entry, static_cast<size_t>(equals - *entry));
      return equals + 1;
    }
  }
  return nullptr;
}

// ---- Mounts, for drive types and network names ----

struct MountInfo {
  std::string mount_point;
  std::string fs_type;
  std::string source;
  std::string device;  // "major:minor"
};

// mountinfo escapes blanks and backslashes as three octal digits.
std::string UnescapeMountField(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const char* p = field.c_str() + i + 1;
      if (p[0] >= '0' && p[0] <= '7' && p[1] >= '0' && p[1] <= '7' && p[2] >= '0' && p[2] <= '7') {
        out.push_back(static_cast<char>((p[0] - '0') * 64 + (p[1] - '0') * 8 + (p[2] - '0')));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

bool IsUnderMountPoint(const std::string& path, const std::string& mount_point) {
  if (mount_point == "/") return true;
  if (path.compare(0, mount_point.size(), mount_point) != 0) return false;
  return path.size() == mount_point.size() || path[mount_point.size()] == '/';
}

// The mount that holds an existing path: the longest matching mount point
// of the real path. False if the path does not exist.
bool FindMount(const std::string& path, MountInfo* found) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return false;
  std::string real(resolved);
  std::free(resolved);
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  bool any = false;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, device, root, mount_point, options, word;
    if (!(fields >> id >> parent >> device >> root >> mount_point >> options)) continue;
    while (fields >> word && word != "-") {
    }
    MountInfo info;
    if (!(fields >> info.fs_type)) continue;
    fields >> info.source;
    info.mount_point = UnescapeMountField(mount_point);
    info.source = UnescapeMountField(info.source);
    info.device = device;
    if (!IsUnderMountPoint(real, info.mount_point)) continue;
    // Later lines of an equal mount point are mounted over earlier ones.
    if (!any || info.mount_point.size() >= found->mount_point.size()) {
      *found = info;
      any = true;
    }
  }
  if (!any) {
    found->fs_type.clear();
    found->mount_point = "/";
  }
  return true;
}

bool IsNetworkFileSystem(const std::string& type) {
  static const char* const kTypes[] = {
      "nfs",        "nfs4", "cifs", "smb3",      "smbfs",          "ncpfs", "sshfs",
      "fuse.sshfs", "afs",  "ceph", "glusterfs", "fuse.glusterfs", "davfs", "fuse.davfs2"};
  for (const char* t : kTypes) {
    if (type == t) return true;
  }
  return false;
}

bool IsRemovableDevice(const std::string& device) {
  // /sys/dev/block/M:m is the partition or the disk; a partition's disk is
  // its parent directory.
  for (const char* candidate : {"/removable", "/../removable"}) {
    std::ifstream in("/sys/dev/block/" + device + candidate);
    char flag = 0;
    if (in >> flag) return flag == '1';
  }
  return false;
}

// "host:/export/x" (NFS, sshfs) or "//host/share" (SMB) as \\host\share.
std::string NetworkSourceAsUnc(const std::string& source) {
  std::string rest;
  if (source.size() > 2 && source[0] == '/' && source[1] == '/') {
    rest = source.substr(2);
  } else {
    size_t colon = source.find(':');
    if (colon == std::string::npos || colon == 0) return std::string();
    std::string host = source.substr(0, colon);
    size_t at = host.rfind('@');
    if (at != std::string::npos) host = host.substr(at + 1);
    std::string path = source.substr(colon + 1);
    while (!path.empty() && path[0] == '/') path.erase(0, 1);
    rest = host + "/" + path;
  }
  while (!rest.empty() && rest.back() == '/') rest.pop_back();
  std::string unc = "\\\\";
  for (char c : rest) unc.push_back(c == '/' ? '\\' : c);
  return unc;
}

// ---- Files ----

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

class PosixPlatform final : public GuardedPlatform {
 public:
  std::unique_ptr<WritableFile> NewWritableFile(const std::string& path, bool exclusive) override {
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

  bool ListDirectory(const std::string& dir, std::vector<FindEntry>* entries) override {
    entries->clear();
    DIR* handle = ::opendir(dir.c_str());
    if (handle == nullptr) return false;
    const std::string base = AbsolutePath(dir);
    while (struct dirent* entry = ::readdir(handle)) {
      const char* name = entry->d_name;
      if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
      FindEntry found;
      found.path = JoinPath(base, name);
      // A link to a directory counts as a file, so that deleting a tree
      // removes the link instead of emptying the folder it points to.
      unsigned char type = entry->d_type;
      struct stat st;
      if (type == DT_UNKNOWN && ::lstat(found.path.c_str(), &st) == 0)
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
      found.is_directory = type == DT_DIR;
      found.is_link_to_directory =
          type == DT_LNK && ::stat(found.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      entries->push_back(std::move(found));
    }
    ::closedir(handle);
    return true;
  }

  PathKind FindPath(const std::string& path) override {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return PathKind::kNothing;
    return S_ISDIR(st.st_mode) ? PathKind::kDirectory : PathKind::kFile;
  }

  bool CreateDir(const std::string& path) override {
    // Private to the user: without TMPDIR the base lies in the shared /tmp.
    return ::mkdir(path.c_str(), 0700) == 0;
  }

  RemoveDirResult RemoveDir(const std::string& path) override {
    if (::rmdir(path.c_str()) == 0) return RemoveDirResult::kOk;
    switch (errno) {
      case ENOENT:
        return IsDirectory(ParentOf(path)) ? RemoveDirResult::kFileNotFound
                                           : RemoveDirResult::kPathNotFound;
      case ENOTDIR:
        // A file in the place of the directory itself is not a missing path.
        return IsDirectory(ParentOf(path)) ? RemoveDirResult::kOtherError
                                           : RemoveDirResult::kPathNotFound;
      case ENOTEMPTY:
      case EEXIST:
        return RemoveDirResult::kNotEmpty;
      default:
        return RemoveDirResult::kOtherError;
    }
  }

  bool RemoveFile(const std::string& path) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    // Windows refuses to delete a read-only file; callers clear it first.
    if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0) {
      errno = EACCES;
      return false;
    }
    return ::unlink(path.c_str()) == 0;
  }

  bool SetNormalAttributes(const std::string& path) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    // A link has no attributes of its own here, and what it points to may
    // lie outside the tree being deleted: it stays as it is.
    if (S_ISLNK(st.st_mode)) return true;
    return ::fchmodat(AT_FDCWD, path.c_str(), (st.st_mode & 07777) | S_IWUSR,
                      AT_SYMLINK_NOFOLLOW) == 0;
  }

  bool GetLastWriteTime(const std::string& path, std::int64_t* seconds) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    *seconds = st.st_mtime;
    return true;
  }

  bool GetCreationTime(const std::string& path, std::int64_t* seconds) override {
#ifdef STATX_BTIME
    struct statx sx;
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
      if ((sx.stx_mask & STATX_BTIME) != 0 && sx.stx_btime.tv_sec != 0) {
        *seconds = sx.stx_btime.tv_sec;
      } else {
        *seconds = sx.stx_mtime.tv_sec;
      }
      return true;
    }
    if (errno != ENOSYS) return false;
#endif
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    *seconds = st.st_mtime;
    return true;
  }

  bool GetWorkingDir(std::string* path) override {
    *path = CurrentDirectory();
    return !path->empty();
  }

  bool SetWorkingDir(const std::string& path) override {
    return !path.empty() && ::chdir(path.c_str()) == 0;
  }

  std::string GetTempDir() override {
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir != nullptr && *tmpdir != '\0') return tmpdir;
    return "/tmp/";
  }

  bool FindOnSearchPath(const std::string& name, std::string* full_path) override {
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

  std::string GetProgramPath() override {
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

  DriveType QueryDriveType(const std::string& root) override {
    MountInfo mount;
    if (root.empty() || !FindMount(root, &mount)) return DriveType::kNoRootDir;
    const std::string& type = mount.fs_type;
    if (type == "iso9660" || type == "udf") return DriveType::kCdRom;
    if (IsNetworkFileSystem(type)) return DriveType::kRemote;
    if (type == "tmpfs" || type == "ramfs") return DriveType::kRamDisk;
    if (!mount.device.empty() && IsRemovableDevice(mount.device)) return DriveType::kRemovable;
    return DriveType::kFixed;
  }

  bool GetNetworkName(const std::string& path, std::string* remote) override {
    remote->clear();
    MountInfo mount;
    if (path.empty() || !FindMount(path, &mount) || !IsNetworkFileSystem(mount.fs_type)) {
      return false;
    }
    *remote = NetworkSourceAsUnc(mount.source);
    return !remote->empty();
  }

  bool GetLogonUser(std::string* name) override {
    name->clear();
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd pwd;
    struct passwd* result = nullptr;
    if (::getpwuid_r(::geteuid(), &pwd, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_name != nullptr && *result->pw_name != '\0') {
      *name = result->pw_name;
      return true;
    }
    for (const char* variable : {"USER", "LOGNAME"}) {
      const char* value = std::getenv(variable);
      if (value != nullptr && *value != '\0') {
        *name = value;
        return true;
      }
    }
    return false;
  }

  bool ReadClassesRootDefault(const std::string&, std::string* value) override {
    value->clear();
    return false;
  }

  bool IsCtrlKeyDown() override { return false; }

  std::uint32_t GetTickCount() override {
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                       static_cast<std::uint64_t>(now.tv_nsec / 1000000);
    return static_cast<std::uint32_t>(ms);
  }

  std::int64_t GetUnixTime() override { return static_cast<std::int64_t>(::time(nullptr)); }

  bool GetLocalTime(std::tm* local) override {
    std::time_t now = ::time(nullptr);
    return ::localtime_r(&now, local) != nullptr;
  }

  std::string CreateGuidText() override {
    std::random_device device;
    unsigned char bytes[16];
    for (size_t i = 0; i < sizeof bytes; i += 4) {
      std::uint32_t word = device();
      for (size_t k = 0; k < 4; ++k) bytes[i + k] = static_cast<unsigned char>(word >> (8 * k));
    }
    return RandomGuidText(bytes);
  }

  std::string GetCommandLineText() override {
    std::string text;
    for (const std::string& argument : ProgramArguments()) {
      if (!text.empty()) text.push_back(' ');
      text += QuoteWindowsArgument(argument);
    }
    return text;
  }

  bool GetEnvVar(const std::string& name, std::string* value) override {
    value->clear();
    const char* found = FindEnvironmentEntry(name, nullptr);
    if (found == nullptr) return false;
    *value = found;
    return true;
  }

  bool SetEnvVar(const std::string& name, const std::string& value) override {
    if (name.empty() || name.find('=') != std::string::npos) return false;
    std::string actual = name;
    FindEnvironmentEntry(name, &actual);
    return ::setenv(actual.c_str(), value.c_str(), 1) == 0;
  }

  void SetEnvVars(const std::vector<std::pair<std::string, std::string>>& variables) override {
    // setenv scans the environment for every call; build the block once and
    // install it.
    std::vector<std::string> block = GetEnvironmentBlock();
    ApplyAssignments(block, variables);
    SetEnvironmentBlock(block);
  }

  void SetEnvironmentBlock(const std::vector<std::string>& block) override {
    // Every block stays alive for the rest of the process, since later
    // setenv calls keep pointers into it.
    static std::list<std::pair<std::vector<std::string>, std::vector<char*>>> blocks;
    auto& [storage, pointers] = blocks.emplace_back();
    storage = block;
    for (std::string& entry : storage) pointers.push_back(entry.data());
    pointers.push_back(nullptr);
    environ = pointers.data();
  }

  std::vector<std::string> GetEnvironmentBlock() override {
    std::vector<std::string> block;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
      block.emplace_back(*entry);
    }
    return block;
  }

  std::string ExpandEnvVars(const std::string& text) override {
    return ExpandPercentReferences(text, [](const std::string& name, std::string* value) {
      const char* found = FindEnvironmentEntry(name, nullptr);
      if (found == nullptr) return false;
      *value = found;
      return true;
    });
  }

  bool StartProcess(const std::string& command_line, unsigned* error) override {
    ReapFinishedChildren();
    std::string rest;
    std::string program = SplitProgramName(command_line, &rest);
    if (program.empty()) {
      *error = ENOENT;
      return false;
    }
    std::vector<std::string> words = SplitWindowsCommandLine(rest);
    std::vector<char*> argv;
    argv.push_back(program.data());
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int result = ::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (result != 0) {
      *error = static_cast<unsigned>(result);
      return false;
    }
    // POSIX has no "ready for input"; the child just runs on.
    children_.push_back(pid);
    *error = 0;
    return true;
  }

  std::string FormatSystemMessage(unsigned error) override {
    return std::strerror(static_cast<int>(error));
  }

  void ShowMessageBox(const std::string& text) override { WriteConsolePosix(stderr, text + "\n"); }

  int RunModalDialog(CDialog& dialog) override { return RunModalDialogPosix(dialog); }

  // Converted for a UTF-8 console like every other text the program prints.
  bool WriteToConsole(const std::string& text) override {
    WriteConsolePosix(stdout, text);
    return !std::ferror(stdout);
  }

  // No desktop to hand a document to.
  bool OpenDocument(const std::string&) override { return false; }

 private:
  void ReapFinishedChildren() {
    std::vector<pid_t> running;
    for (pid_t pid : children_) {
      int status = 0;
      if (::waitpid(pid, &status, WNOHANG) == 0) running.push_back(pid);
    }
    children_.swap(running);
  }

  std::vector<pid_t> children_;
};

}  // namespace

Platform& SystemPlatform() {
  static PosixPlatform platform;
  return platform;
}

void InitPlatformArguments(int argc, char** argv) {
  std::vector<std::string>& arguments = ProgramArguments();
  arguments.clear();
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
}
