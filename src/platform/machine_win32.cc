// Facts of the machine on Win32: drive types, network names, the user, the
// registry's classes root, the clocks, GUIDs.
#include <windows.h>

#include <ntsecapi.h>
#include <winnetwk.h>

#include <string>

#include "platform/guid_text.h"
#include "platform/platform_win32.h"
#include "platform/system_libraries_win32.h"
#include "platform/win32_handle.h"

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DayOfYear(int year, int month, int day) {
  static const int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int yday = kDaysBefore[month - 1] + day - 1;
  if (month > 2 && IsLeapYear(year)) ++yday;
  return yday;
}

bool LocalTime(std::tm* local) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  *local = std::tm();
  local->tm_year = now.wYear - 1900;
  local->tm_mon = now.wMonth - 1;
  local->tm_mday = now.wDay;
  local->tm_hour = now.wHour;
  local->tm_min = now.wMinute;
  local->tm_sec = now.wSecond;
  local->tm_wday = now.wDayOfWeek;
  local->tm_yday = DayOfYear(now.wYear, now.wMonth, now.wDay);
  local->tm_isdst = -1;
  return true;
}

}  // namespace

DriveType HostPlatform::QueryDriveType(const std::string& root) {
  return static_cast<DriveType>(::GetDriveTypeA(root.c_str()));
}

bool HostPlatform::GetNetworkName(const std::string& path, std::string* remote) {
  remote->clear();
  if (path.size() < 2 || path[1] != ':') return false;
  const std::string device = path.substr(0, 2);
  // Only a network drive has a connection; asking the drive type first
  // spares every other run the network library.
  if (::GetDriveTypeA((device + "\\").c_str()) != DRIVE_REMOTE) return false;
  const auto get_connection = NetworkConnectionFunction();
  if (get_connection == nullptr) return false;
  std::string buffer(MAX_PATH, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD result = get_connection(device.c_str(), buffer.data(), &size);
    if (result == NO_ERROR) {
      buffer.resize(std::char_traits<char>::length(buffer.c_str()));
      *remote = std::move(buffer);
      return true;
    }
    if (result != ERROR_MORE_DATA) return false;
    buffer.resize(size + 1);
  }
  return false;
}

bool HostPlatform::GetLogonUser(std::string* name) {
  name->clear();
  std::string buffer(257, '\0');  // UNLEN + 1
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    if (::GetUserNameA(buffer.data(), &size)) {
      buffer.resize(std::char_traits<char>::length(buffer.c_str()));
      *name = std::move(buffer);
      return true;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    buffer.resize(size);
  }
  return false;
}

bool HostPlatform::ReadClassesRootDefault(const std::string& subkey, std::string* value) {
  value->clear();
  RegistryKey key;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey.c_str(), 0, KEY_QUERY_VALUE, key.receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  BYTE buffer[260];
  DWORD size = sizeof buffer;
  DWORD type = 0;
  if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, buffer, &size) != ERROR_SUCCESS) {
    return false;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  // The stored string may or may not carry its terminating zero.
  std::string text(reinterpret_cast<const char*>(buffer), size);
  size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  *value = std::move(text);
  return true;
}

std::uint32_t HostPlatform::GetTickCount() { return ::GetTickCount(); }

WallClock HostPlatform::GetWallClock() {
  WallClock clock;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  clock.unix_seconds = FileTimeToUnixSeconds(now);
  clock.local_valid = LocalTime(&clock.local);
  return clock;
}

std::string HostPlatform::CreateGuidText() {
  // From the system's random generator in a library already loaded: the
  // COM library would load the whole window system besides.
  unsigned char bytes[16];
  if (!::RtlGenRandom(bytes, sizeof bytes)) return std::string();
  return RandomGuidText(bytes);
}
