/// What both systems' file implementations share (internal to the platform).
#ifndef PAGETRIX_PLATFORM_FILES_COMMON_H_
#define PAGETRIX_PLATFORM_FILES_COMMON_H_

#include <atomic>
#include <string>

/// Name of the file a copy or rewrite writes beside `target` before renaming
/// it into place: unique to the process and the call.
inline std::string TemporaryNameBeside(const std::string& target, unsigned long process_id) {
  static std::atomic<unsigned> counter{0};
  return target + ".~" + std::to_string(process_id) + "-" + std::to_string(counter++) + ".tmp";
}

#endif  // PAGETRIX_PLATFORM_FILES_COMMON_H_
