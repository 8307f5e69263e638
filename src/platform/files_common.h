/// What both systems' file implementations share (internal to the platform).
#ifndef PAGETRIX_PLATFORM_FILES_COMMON_H_
#define PAGETRIX_PLATFORM_FILES_COMMON_H_

#include <atomic>
#include <cstddef>
#include <string>

/// Name of the file a copy or rewrite writes beside `target` before renaming
/// it into place: unique to the process and the call.
inline std::string TemporaryNameBeside(const std::string& target, unsigned long process_id) {
  static std::atomic<unsigned> counter{0};
  return target + ".~" + std::to_string(process_id) + "-" + std::to_string(counter++) + ".tmp";
}

/// Asks the system to back a large buffer about to be filled with large
/// pages, where it offers them for the asking: a large file read into fresh
/// memory takes a page fault every 4 KiB, which costs more than reading it.
/// Only a hint: nothing depends on it.
void AskForLargePages(const char* data, size_t size);

#endif  // PAGETRIX_PLATFORM_FILES_COMMON_H_
