/// Path splitting, field splitting and the directory and file operations
/// everybody uses, on the file system the caller hands in.
#ifndef PAGETRIX_FS_UTIL_H_
#define PAGETRIX_FS_UTIL_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

class LogSink;

/// Takes a path apart into drive, directory, name, extension and server.
class CUtil {
 public:
  CUtil() = default;
  virtual ~CUtil() = default;

  /// Asks `machine` for the server behind a network drive.
  void SplitPath(MachineFacts& machine, const std::string& path);
  /// The same without asking the system for the server (server name empty).
  void SplitPathLocal(const std::string& path);

  std::string drive;
  std::string directory;
  std::string file_name;
  std::string extension;
  std::string server_name;
};

/// Options of CollectFiles; filter and result are owned by the caller.
struct FileCollectOptions {
  const std::string& filter;
  int recurse;
  std::vector<std::string>& result;
  int directories;
};

/// Backslash or slash: both separate the parts of a path.
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

/// Field n (1-based) of a text split at `separator`, trimmed of white space;
/// false (and an empty field) when the text has fewer than n fields.
bool GetField(std::string& field, std::string_view text, int n, char separator);
/// The same as a view into `text`.
bool GetFieldView(std::string_view& field, std::string_view text, int n, char separator);
/// Appends the files (or directories) below a directory to options.result.
void CollectFiles(FileSystem& files, const std::string& directory,
                  const FileCollectOptions& options);
/// Creates a directory with all its missing parents; true if it exists afterwards.
bool CreateDirectoryPath(FileSystem& files, const std::string& path);
/// Deletes a file (also read-only) and then its directory if that became empty.
/// With a `root`, the file is one found below that folder and is deleted
/// without following a link (what an old output tree may hold).
bool DeleteFileAndDirectory(FileSystem& files, const std::string& path,
                            const std::string& root = std::string());
/// What the path names; a drive root, which the finder does not report, is a
/// directory when it can be entered.
PathKind GetPathKind(FileSystem& files, const std::string& path);
/// True if the current directory can be set to the path (it is restored).
bool CanChangeDirectory(FileSystem& files, const std::string& path);
/// The drive part followed by the directory part (with its trailing separator).
std::string GetDirectoryPart(const std::string& path);

#endif  // PAGETRIX_FS_UTIL_H_
