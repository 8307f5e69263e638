#include "fs/output_dir.h"

#include <vector>

#include "base/log_sink.h"
#include "fs/util.h"
#include "platform/messages.h"
#include "platform/platform.h"

std::string OutputBaseDirectory(const std::string& temp_dir) {
  std::string path = temp_dir;
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += "Pagetrix";
  path += kPathSeparator;
  return path;
}

std::string OutputDirectoryPath(const std::string& temp_dir, const std::string& guid_text) {
  size_t begin = guid_text.find_first_not_of('{');
  size_t end = guid_text.find_last_not_of('}');
  // Without a temporary folder the base would be the root of the drive.
  if (begin == std::string::npos || end == std::string::npos || begin > end || temp_dir.empty())
    return std::string();
  return OutputBaseDirectory(temp_dir) + guid_text.substr(begin, end - begin + 1);
}

void DeleteOldOutputDirectories(const std::string& base, int threshold_hours, std::int64_t now,
                                LogSink& log) {
  if (threshold_hours == kNeverDelete) return;
  Platform& platform = GetPlatform();
  std::vector<std::string> directories;
  const std::string no_filter;
  CollectFiles(base, FileCollectOptions{no_filter, 1, directories, 1});
  for (const std::string& directory : directories) {
    std::int64_t created = 0;
    // Gone already when an old parent was removed earlier in this loop.
    if (!platform.GetCreationTime(directory, &created)) continue;
    // Whole hours, truncated toward zero and kept in 32 bits.
    auto age = static_cast<std::int32_t>(static_cast<std::uint32_t>((now - created) / 3600));
    if (age < threshold_hours) continue;
    log.Log(Message(IDS_DELETING_DIR, directory));
    DeleteDirectoryTree(directory);
  }
}

void DeleteDirectoryTree(const std::string& path) {
  std::vector<std::string> files;
  const std::string no_filter;
  CollectFiles(path, FileCollectOptions{no_filter, 1, files, 0});
  for (const std::string& file : files) DeleteFileAndDirectory(file);
}
