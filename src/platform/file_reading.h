/// Reading a whole regular file with a chosen limit, as the system's
/// platform reads every file.
#ifndef PAGETRIX_PLATFORM_FILE_READING_H_
#define PAGETRIX_PLATFORM_FILE_READING_H_

#include <cstdint>
#include <string>

#include "platform/platform.h"

/// Reads a whole regular file, open for other readers while it is read. A
/// folder, device, pipe or socket cannot be opened; a file larger than
/// `limit` gives a read error; an allocation failure gives kNoMemory.
ReadResult ReadRegularFile(const std::string& path, std::string* bytes,
                           std::uint64_t limit = kMaxReadBytes);

#endif  // PAGETRIX_PLATFORM_FILE_READING_H_
