/// The per-run output directories below the temporary directory, and the
/// deletion of old ones. The generator hands in what it knows of the run.
#ifndef PAGETRIX_FS_OUTPUT_DIR_H_
#define PAGETRIX_FS_OUTPUT_DIR_H_

#include <cstdint>
#include <string>

class FileSystem;
class LogSink;

/// The threshold of a LoeschStd that is no number: no folder is deleted, as
/// with any negative threshold.
inline constexpr int kNeverDelete = -1;

/// The folder every run's output directory is made in: `temp_dir`, one
/// separator, "Pagetrix" and a separator.
std::string OutputBaseDirectory(const std::string& temp_dir);
/// This run's output directory: the base followed by the GUID text without
/// its braces, no trailing separator. Empty without a temporary directory or
/// without a GUID, so that no run writes into a folder all runs share.
std::string OutputDirectoryPath(const std::string& temp_dir, const std::string& guid_text);
/// Deletes the old output folders in `base`: the folders named like the
/// program's own (a GUID) that were created `threshold_hours` or more whole
/// hours before `now` (seconds since 1970), logging message 223 before each.
/// A negative threshold, of any size, means "never" and does nothing. A
/// base that is a link or (POSIX) another user's is left alone; so are
/// links, folders of other names, files, a folder whose run still holds its
/// lock, and a folder written to within the last minute (its run may not
/// have taken its lock yet).
void DeleteOldOutputDirectories(FileSystem& files, const std::string& base, int threshold_hours,
                                std::int64_t now, LogSink& log);
/// Whether `name` has the form of an output folder's name: 8-4-4-4-12 hex digits.
bool IsOutputFolderName(const std::string& name);
/// Deletes every file below `path` (read-only ones too) and each directory
/// that becomes empty by it; links are removed or left alone, never followed.
void DeleteDirectoryTree(FileSystem& files, const std::string& path);

#endif  // PAGETRIX_FS_OUTPUT_DIR_H_
