// Facts of the machine on POSIX: drive types and network names from the
// mounts, the user, the clocks, GUIDs.
#include <pwd.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/guid_text.h"
#include "platform/host_platform.h"

namespace {

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

}  // namespace

DriveType HostPlatform::QueryDriveType(const std::string& root) {
  MountInfo mount;
  if (root.empty() || !FindMount(root, &mount)) return DriveType::kNoRootDir;
  const std::string& type = mount.fs_type;
  if (type == "iso9660" || type == "udf") return DriveType::kCdRom;
  if (IsNetworkFileSystem(type)) return DriveType::kRemote;
  if (type == "tmpfs" || type == "ramfs") return DriveType::kRamDisk;
  if (!mount.device.empty() && IsRemovableDevice(mount.device)) return DriveType::kRemovable;
  return DriveType::kFixed;
}

bool HostPlatform::GetNetworkName(const std::string& path, std::string* remote) {
  remote->clear();
  MountInfo mount;
  if (path.empty() || !FindMount(path, &mount) || !IsNetworkFileSystem(mount.fs_type)) {
    return false;
  }
  *remote = NetworkSourceAsUnc(mount.source);
  return !remote->empty();
}

bool HostPlatform::GetLogonUser(std::string* name) {
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

bool HostPlatform::ReadClassesRootDefault(const std::string&, std::string* value) {
  value->clear();
  return false;
}

std::uint32_t HostPlatform::GetTickCount() {
  struct timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                     static_cast<std::uint64_t>(now.tv_nsec / 1000000);
  return static_cast<std::uint32_t>(ms);
}

WallClock HostPlatform::GetWallClock() {
  WallClock clock;
  const std::time_t now = ::time(nullptr);
  clock.unix_seconds = static_cast<std::int64_t>(now);
  clock.local_valid = ::localtime_r(&now, &clock.local) != nullptr;
  return clock;
}

std::string HostPlatform::CreateGuidText() {
  std::random_device device;
  unsigned char bytes[16];
  for (size_t i = 0; i < sizeof bytes; i += 4) {
    std::uint32_t word = device();
    for (size_t k = 0; k < 4; ++k) bytes[i + k] = static_cast<unsigned char>(word >> (8 * k));
  }
  return RandomGuidText(bytes);
}
