/// The per-run output directories below the temporary directory, and the
/// deletion of old ones. The generator hands in what it knows of the run.
#ifndef PAGETRIX_FS_OUTPUT_DIR_H_
#define PAGETRIX_FS_OUTPUT_DIR_H_

#include <cstdint>
#include <string>

class LogSink;

/// Age threshold that turns the deletion of old output directories off.
inline constexpr int kNeverDelete = -1;

/// The folder every run's output directory is made in: `temp_dir`, one
/// separator, "Pagetrix" and a separator.
std::string OutputBaseDirectory(const std::string& temp_dir);
/// This run's output directory: the base followed by the GUID text without
/// its braces, no trailing separator. Empty without a temporary directory or
/// without a GUID, so that no run writes into a folder all runs share.
std::string OutputDirectoryPath(const std::string& temp_dir, const std::string& guid_text);
/// Deletes the trees of the directories at any depth below `base` that were
/// created `threshold_hours` or more whole hours before `now` (seconds since
/// 1970), logging message 223 before each; kNeverDelete does nothing.
void DeleteOldOutputDirectories(const std::string& base, int threshold_hours, std::int64_t now,
                                LogSink& log);
/// Deletes every file below `path` (read-only ones too) and each directory
/// that becomes empty by it; links are removed, never followed.
void DeleteDirectoryTree(const std::string& path);

#endif  // PAGETRIX_FS_OUTPUT_DIR_H_
