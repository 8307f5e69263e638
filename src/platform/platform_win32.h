/// Helpers the Win32 files of the system platform share.
#ifndef PAGETRIX_PLATFORM_PLATFORM_WIN32_H_
#define PAGETRIX_PLATFORM_PLATFORM_WIN32_H_

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/host_platform.h"
#include "platform/win32_handle.h"

/// Whether an open handle is a plain file on a disk, and its basic
/// information (files_win32.cc).
bool IsRegularDiskHandle(const FileHandle& file, FILE_BASIC_INFO* info);
/// A plain file on a disk, looked at without reading it (files_win32.cc).
bool IsRegularDiskFile(const std::string& path);

/// A file time as seconds since 1970 (UTC).
inline std::int64_t FileTimeToUnixSeconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  // 100-ns ticks from 1601 to 1970.
  constexpr std::int64_t kEpochOffset = 116444736000000000LL;
  return (static_cast<std::int64_t>(value.QuadPart) - kEpochOffset) / 10000000LL;
}

#endif  // PAGETRIX_PLATFORM_PLATFORM_WIN32_H_
