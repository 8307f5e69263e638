#include "fs/drive_part.h"

#include "fs/util.h"
#include "platform/platform.h"

bool HasDrivePart(const CUtil& parts) {
  if (!parts.drive.empty()) return true;
  // A network path names its server; a folder in front would break it.
  const std::string& dir = parts.directory;
  if (dir.size() >= 2 && IsPathSeparator(dir[0]) && IsPathSeparator(dir[1])) return true;
  // Otherwise "/x/page.ini" would be joined behind the command directory.
  if constexpr (kPathSeparator == '/') {
    return !parts.directory.empty() && parts.directory[0] == '/';
  }
  return false;
}
