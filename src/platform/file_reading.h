/// Reading files through FileSystem::OpenForReading, written once for every
/// platform: a whole file up to a limit, the head of one, and files of bytes
/// in memory for the platforms that keep files of their own.
#ifndef PAGETRIX_PLATFORM_FILE_READING_H_
#define PAGETRIX_PLATFORM_FILE_READING_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

/// Reads a whole regular file, raw: kCannotOpen where OpenForReading gives
/// none; a read error for a file over `limit` (`bytes` empty) or one whose
/// reading breaks off (`bytes` holds what was read before); kNoMemory where
/// its bytes do not fit into memory.
ReadResult ReadFileToString(FileSystem& files, const std::string& path, std::string* bytes,
                            std::uint64_t limit = kMaxReadBytes);

/// Reads at most `max_bytes` from the start of a regular file; false if it
/// cannot be opened or read.
bool ReadFileHead(FileSystem& files, const std::string& path, size_t max_bytes, std::string* bytes);

/// How a file of bytes in memory ends.
enum class ReadFailure {
  kNone,        ///< as a file does
  kAfterBytes,  ///< with a read error once its bytes are read
  kNoMemory,    ///< its first read finds no memory (std::bad_alloc, as the allocation would)
};

/// A ReadableFile that reads `bytes`.
std::unique_ptr<ReadableFile> ReadableBytes(std::string bytes,
                                            ReadFailure failure = ReadFailure::kNone);

#endif  // PAGETRIX_PLATFORM_FILE_READING_H_
