// Folders and paths on Win32: listing, finding, making and removing
// folders, what a path is, the current and temporary folders.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_name.h"
#include "platform/platform_win32.h"
#include "platform/win32_handle.h"

namespace {

RemoveFolderResult RemoveFolderResultFromError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return RemoveFolderResult::kMissing;
    case ERROR_DIR_NOT_EMPTY:
      return RemoveFolderResult::kNotEmpty;
    default:
      return RemoveFolderResult::kFailed;
  }
}

// Calls `fill(buffer, size)` of an API that returns the length it wrote,
// or the size it needs (with the zero) when the buffer is too small, until
// the text fits.
template <typename Fill>
bool ReadSizedText(std::string* out, Fill fill, DWORD initial = MAX_PATH) {
  std::string buffer(initial, '\0');
  for (int attempt = 0; attempt < 16; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD got = fill(buffer.data(), size);
    if (got == 0) return false;
    if (got < size) {
      buffer.resize(got);
      *out = std::move(buffer);
      return true;
    }
    buffer.resize(got > size ? got : size * 2);
  }
  return false;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) return dir + name;
  return dir + "\\" + name;
}

// A path the file finder and the attributes answer alike: a name below a
// folder, without pattern characters or a trailing separator, not a drive,
// a drive's root or a share, nor a device.
bool IsPlainPath(const std::string& path) {
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  if (path.back() == '\\' || path.back() == '/' || IsDeviceName(path)) return false;
  if (path.size() <= 3 && path.find(':') != std::string::npos) return false;
  const bool unc =
      path.size() > 1 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
  return !unc ||
         std::count_if(path.begin(), path.end(), [](char c) { return c == '\\' || c == '/'; }) >= 4;
}

bool FullPath(const std::string& path, std::string* full) {
  return ReadSizedText(full, [&path](char* buffer, DWORD size) {
    return ::GetFullPathNameA(path.c_str(), size, buffer, nullptr);
  });
}

}  // namespace

bool HostPlatform::ListFolder(const std::string& dir, std::vector<FolderEntry>* entries) {
  entries->clear();
  std::string base;
  if (!FullPath(dir, &base)) return false;
  WIN32_FIND_DATAA data;
  FindHandle find(::FindFirstFileA(JoinPath(base, "*.*").c_str(), &data));
  if (!find.IsValid()) {
    // A drive root holds no "." entries: empty, yet searchable.
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    DWORD attributes = ::GetFileAttributesA(base.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  do {
    const char* name = data.cFileName;
    if (std::string_view(name) == "." || std::string_view(name) == "..") continue;
    FolderEntry entry;
    entry.path = JoinPath(base, name);
    // A junction or directory link is marked as a link: deleting an old
    // output tree must never reach into the folder it points to.
    const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.kind = directory ? PathKind::kFolder : PathKind::kFile;
    entry.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entries->push_back(std::move(entry));
  } while (::FindNextFileA(find.get(), &data));
  return true;
}

PathKind HostPlatform::FindPath(const std::string& path) {
  // A plain path is answered by its attributes, without opening the
  // folder for a search: under Wine a search for a missing name costs
  // about seven times as much. What the file finder answers otherwise
  // (patterns, a trailing separator, roots and shares, devices, and
  // whatever the attributes cannot tell, such as a POSIX pipe) still goes
  // to it.
  if (IsPlainPath(path)) {
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes)) {
      return (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder
                                                                      : PathKind::kFile;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathKind::kMissing;
  }
  WIN32_FIND_DATAA data;
  FindHandle find(::FindFirstFileA(path.c_str(), &data));
  if (!find.IsValid()) return PathKind::kMissing;
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kFile;
}

bool HostPlatform::CreateFolder(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

RemoveFolderResult HostPlatform::RemoveFolder(const std::string& path) {
  if (::RemoveDirectoryA(path.c_str())) return RemoveFolderResult::kRemoved;
  return RemoveFolderResultFromError(::GetLastError());
}

PathInfo HostPlatform::Inspect(const std::string& path, Links links) {
  PathInfo info;
  info.owned_by_user = true;
  if (IsDeviceName(path)) {
    info.kind = PathKind::kOther;
    return info;
  }
  // The attributes and both times in one call.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = ::GetLastError();
    info.kind = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::kMissing
                                                                               : PathKind::kOther;
    return info;
  }
  info.written = FileTimeToUnixSeconds(data.ftLastWriteTime);
  const FILETIME& created = data.ftCreationTime;
  const bool kept = created.dwLowDateTime != 0 || created.dwHighDateTime != 0;
  info.created = kept ? FileTimeToUnixSeconds(created) : info.written;
  const DWORD attributes = data.dwFileAttributes;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && links == Links::kDoNotFollow) {
    info.kind = PathKind::kLink;
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    info.kind = PathKind::kFolder;
  } else {
    info.kind = IsRegularDiskFile(path) ? PathKind::kFile : PathKind::kOther;
  }
  return info;
}

bool HostPlatform::IsOwnPlace(const std::string& /*path*/) { return true; }

bool HostPlatform::CanEnterFolder(const std::string& path) {
  std::string current;
  if (!ReadSizedText(&current,
                     [](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); }))
    return false;
  if (!::SetCurrentDirectoryA(path.c_str())) return false;
  ::SetCurrentDirectoryA(current.c_str());
  return true;
}

std::string HostPlatform::GetTempFolder() {
  std::string path;
  ReadSizedText(&path, [](char* buffer, DWORD size) { return ::GetTempPathA(size, buffer); });
  return path;
}

bool HostPlatform::FindOnSearchPath(const std::string& name, std::string* full_path) {
  full_path->clear();
  if (name.empty()) return false;
  return ReadSizedText(full_path, [&name](char* buffer, DWORD size) {
    return ::SearchPathA(nullptr, name.c_str(), nullptr, size, buffer, nullptr);
  });
}

std::string HostPlatform::GetProgramPath() {
  std::string buffer(MAX_PATH, '\0');
  while (true) {
    DWORD got = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (got == 0) return std::string();
    // A full buffer means the name was cut.
    if (got < buffer.size()) {
      buffer.resize(got);
      return buffer;
    }
    if (buffer.size() >= 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}
