#include "fs/drive_part.h"

#include "fs/util.h"
#include "platform/platform.h"

bool HasDrivePart(const CUtil& parts) {
  if (!parts.drive.empty()) return true;
  // Otherwise "/x/page.ini" would be joined behind the command directory.
  if constexpr (kPathSeparator == '/') {
    return !parts.directory.empty() && parts.directory[0] == '/';
  }
  return false;
}
