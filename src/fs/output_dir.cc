#include "fs/output_dir.h"

#include <vector>

#include "base/log_sink.h"
#include "fs/util.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

// A folder written to within the last minute may belong to a run that has
// not taken its lock yet.
constexpr std::int64_t kYoungFolderSeconds = 60;

}  // namespace

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

bool IsOutputFolderName(const std::string& name) {
  if (name.size() != 36) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    if (i == 8 || i == 13 || i == 18 || i == 23 ? c != '-' : !hex) return false;
  }
  return true;
}

void DeleteOldOutputDirectories(FileSystem& files, const std::string& base, int threshold_hours,
                                std::int64_t now, LogSink& log) {
  // -1 is the documented "never"; no other negative age makes sense, and
  // one below the integer range read as "delete everything" would be the
  // worst reading of it.
  if (threshold_hours < 0) return;
  // A base that is a link, or another user's, is nobody's to clean.
  std::string folder = base;
  while (folder.size() > 1 && IsPathSeparator(folder.back())) folder.pop_back();
  const PathInfo own = files.Inspect(folder, Links::kDoNotFollow);
  if (own.kind != PathKind::kFolder || !own.owned_by_user) return;
  std::vector<FolderEntry> entries;
  if (!files.ListFolder(base, &entries)) return;
  for (const FolderEntry& entry : entries) {
    // Links are never followed; only the program's own folders go.
    CUtil parts;
    parts.SplitPathLocal(entry.path);
    if (!entry.IsRealFolder() || !IsOutputFolderName(parts.file_name + parts.extension)) continue;
    const PathInfo info = files.Inspect(entry.path, Links::kDoNotFollow);
    if (info.kind != PathKind::kFolder) continue;
    const std::int64_t created = info.created, written = info.written;
    // Whole hours, truncated toward zero and kept in 32 bits.
    auto age = static_cast<std::int32_t>(static_cast<std::uint32_t>((now - created) / 3600));
    if (age < threshold_hours) continue;
    if (now - written < kYoungFolderSeconds || files.IsFolderLocked(entry.path)) continue;
    log.Log(Message(IDS_DELETING_DIR, entry.path));
    DeleteDirectoryTree(files, entry.path);
  }
}

void DeleteDirectoryTree(FileSystem& files, const std::string& path) {
  std::vector<std::string> found;
  const std::string no_filter;
  CollectFiles(files, path, FileCollectOptions{no_filter, 1, found, 0});
  for (size_t i = 0; i < found.size(); ++i) {
    // While the next file listed stands in the same folder, that folder is
    // not empty yet: only the last of a run of files tries to remove it.
    const bool last_of_folder =
        i + 1 == found.size() || GetDirectoryPart(found[i + 1]) != GetDirectoryPart(found[i]);
    if (last_of_folder) {
      DeleteFileAndDirectory(files, found[i], path);
    } else {
      files.RemoveFile(found[i], path);
    }
  }
}
