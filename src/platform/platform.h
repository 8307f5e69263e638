/// The one interface between the program and the operating system.
#ifndef PAGETRIX_PLATFORM_PLATFORM_H_
#define PAGETRIX_PLATFORM_PLATFORM_H_

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// Separator the program puts between a directory and a name.
#ifdef PAGETRIX_POSIX_PATHS
inline constexpr char kPathSeparator = '/';
#else
inline constexpr char kPathSeparator = '\\';
#endif

/// Drive types, with the values Windows gives them.
enum class DriveType : unsigned {
  kUnknown = 0,
  kNoRootDir = 1,
  kRemovable = 2,
  kFixed = 3,
  kRemote = 4,
  kCdRom = 5,
  kRamDisk = 6,
};

/// Outcome of reading a whole file.
enum class ReadResult { kOk = 0, kCannotOpen = 1, kReadError = 2, kNoMemory = 3 };

/// Far above the largest real command file or template; a file beyond it
/// is refused instead of being read into memory.
inline constexpr std::uint64_t kMaxReadBytes = 512ull << 20;

/// Longest result of the system's %NAME% expansion; what reaches it has been
/// cut (Win32 cuts at 32,766 bytes without an error). 0: no limit.
#ifdef PAGETRIX_POSIX_PATHS
inline constexpr size_t kExpansionLimit = 0;
#else
inline constexpr size_t kExpansionLimit = 32766;
#endif

/// Outcome of copying a file. The copy itself tells whether the target was
/// there, so a caller needs no look at the target beforehand.
enum class CopyOutcome {
  kCopied,        ///< a new file was written
  kReplaced,      ///< an existing file was replaced
  kTargetExists,  ///< refused, as asked: the target exists and is untouched
  kFailed,        ///< nothing copied; the target may or may not exist
};

/// What a path names. The file finder answers kFolder, kFile or kMissing
/// (a link counts as what it names); a look that does not follow links
/// answers kLink for one (or for a reparse point); devices, pipes and
/// sockets are kOther. kFolder, kMissing and kFile keep the values -1, 0
/// and 1 that the file finder's answer has always had.
enum class PathKind { kFolder = -1, kMissing = 0, kFile = 1, kLink = 2, kOther = 3 };

/// One entry of a folder listing.
struct FolderEntry {
  std::string path;  ///< the listed folder as the system normalizes it, a separator, the name
  PathKind kind = PathKind::kFile;  ///< kFolder for a folder or a link to one, else kFile
  /// A link or junction: deleting a tree removes it, never what it names.
  bool link = false;

  /// A folder that a tree's deletion or a listing goes into.
  bool IsRealFolder() const { return kind == PathKind::kFolder && !link; }
};

/// Whether a look at a path follows a link to what it names.
enum class Links { kFollow, kDoNotFollow };

/// What Inspect finds at a path.
struct PathInfo {
  PathKind kind = PathKind::kMissing;  ///< kLink only where links are not followed
  bool owned_by_user = false;          ///< POSIX: this user's own (not root's); Windows: always
  std::int64_t created = 0;  ///< seconds since 1970 (UTC); the last write where none is kept
  std::int64_t written = 0;  ///< the last write, seconds since 1970 (UTC)
};

/// Outcome of removing a folder, as far as callers tell them apart.
enum class RemoveFolderResult { kRemoved, kMissing, kNotEmpty, kFailed };

/// A regular file open for reading; closed when destroyed.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  /// The size when it was opened; the file may grow while it is read.
  virtual std::uint64_t Size() const = 0;
  /// Reads up to `size` bytes into `into`, fewer only at the end of the
  /// file. False on a read error; `*got` counts the bytes read before it.
  virtual bool Read(char* into, size_t size, size_t* got) = 0;
};

/// The time now.
struct WallClock {
  std::int64_t unix_seconds = 0;  ///< seconds since 1 January 1970 (UTC)
  bool local_valid = false;       ///< whether the local date and time could be told
  std::tm local{};                ///< the local date and time
};

/// Name of the lock a run holds in its output folder while it works.
inline constexpr char kLockFileName[] = "Pagetrix.lck";

/// The lock of a folder; released (and its file removed) when destroyed.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

/// A file open for writing; closed (and flushed) when destroyed.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  /// Writes the bytes as they are; false on a write error.
  virtual bool Append(std::string_view data) = 0;
  /// Flushes and closes; false if that failed. Later calls do nothing.
  virtual bool Close() = 0;
};

/// Every class of the interface below is safe to call at any time from the
/// run's one thread; none throws. Paths are byte strings in the ANSI code
/// page (Windows-1252). The methods are named in the program's own words,
/// not the system's: <windows.h> defines macros for many Win32 names
/// (DeleteFile becomes DeleteFileA), which would rename methods called so.

/// Files and folders.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Opens a regular file for reading, shared with other readers and
  /// refused while a writer has it open; null for a folder, device, pipe or
  /// socket and for what cannot be opened. The reading itself is written
  /// once, above the systems (file_reading.h).
  virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) = 0;
  /// Creates or truncates a file for writing; with `exclusive` no other
  /// process may open it while it is open. Null on failure.
  virtual std::unique_ptr<WritableFile> NewWritableFile(const std::string& path,
                                                        bool exclusive) = 0;
  /// Lists the entries of a folder (without "." and ".."), in the order the
  /// file system reports them. False if the folder cannot be searched.
  virtual bool ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) = 0;
  /// Looks a path up with the file finder, no wildcard: kFolder, kFile or
  /// kMissing (roots of drives are not found this way). A link counts as
  /// what it points to.
  virtual PathKind FindPath(const std::string& path) = 0;
  /// Creates one folder; parents are not created.
  virtual bool CreateFolder(const std::string& path) = 0;
  /// Removes an empty folder.
  virtual RemoveFolderResult RemoveFolder(const std::string& path) = 0;
  /// Copies a regular file (the source shared with other readers), keeping
  /// its last-write time; with `fail_if_exists` an existing target is
  /// refused. A copy that fails midway leaves no new file and the old target
  /// as it was. An existing target is
  /// replaced as RewriteFile replaces a file, and refused where it refuses.
  virtual CopyOutcome CopyFileTo(const std::string& from, const std::string& to,
                                 bool fail_if_exists) = 0;
  /// Gives a file new contents all at once: written beside it and renamed
  /// over it. False, and the file as it was, when it is read-only, no
  /// regular file, or held open for writing by any process (this one too).
  virtual bool RewriteFile(const std::string& path, std::string_view bytes) = 0;
  /// Deletes a file found below the folder `root`, a read-only one too: a
  /// link is removed as a link or left alone, never followed, and the
  /// read-only attribute is reset only on a file that lies inside `root`.
  virtual bool RemoveFile(const std::string& path, const std::string& root) = 0;
  /// What a path names, whether it is the user's own, and its times, in one
  /// look; with kDoNotFollow a link is looked at itself.
  virtual PathInfo Inspect(const std::string& path, Links links) = 0;
  /// No other user can have made or turned the path (POSIX: no folder or
  /// link on the way to it, or to what it really names, is another user's);
  /// always true on Windows.
  virtual bool IsOwnPlace(const std::string& path) = 0;
  /// Takes the lock a run holds in its output folder; null if impossible.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::string& folder) = 0;
  /// Whether another run holds the lock of this folder now.
  virtual bool IsFolderLocked(const std::string& folder) = 0;
  /// Whether the process can make `path` its current folder; the current
  /// folder stays what it was.
  virtual bool CanEnterFolder(const std::string& path) = 0;
  /// The user's temporary folder as the system reports it.
  virtual std::string GetTempFolder() = 0;
  /// The system's search for a file name (no default extension): a name
  /// with a path is resolved against the current directory and must exist;
  /// a bare name is looked for beside the program, in the current directory,
  /// the system directories and on PATH. False if nothing is found.
  virtual bool FindOnSearchPath(const std::string& name, std::string* full_path) = 0;
  /// Full path of the program file.
  virtual std::string GetProgramPath() = 0;
};

/// Facts of the machine, substituted in tests.
class MachineFacts {
 public:
  virtual ~MachineFacts() = default;

  /// Drive type of a drive or directory.
  virtual DriveType QueryDriveType(const std::string& root) = 0;
  /// Network name (\\host\share form) of the share that holds `path`, for
  /// a path on a connected network drive; false for local paths.
  virtual bool GetNetworkName(const std::string& path, std::string* remote) = 0;
  /// Name of the logged-on user.
  virtual bool GetLogonUser(std::string* name) = 0;
  /// Default value of a key under the classes root; only string values of at
  /// most 259 bytes count.
  virtual bool ReadClassesRootDefault(const std::string& subkey, std::string* value) = 0;
  /// Milliseconds since system start, wrapping at 32 bits.
  virtual std::uint32_t GetTickCount() = 0;
  /// The time now.
  virtual WallClock GetWallClock() = 0;
  /// A new GUID in registry text form, with its braces.
  virtual std::string CreateGuidText() = 0;
};

/// The process: its arguments, its environment, the processes it starts.
class ProcessEnvironment {
 public:
  virtual ~ProcessEnvironment() = default;

  /// The program's arguments after the program name, as one string.
  virtual std::string GetCommandLineText() = 0;
  /// A variable of the process environment (names match without ASCII
  /// case); false, and an empty value, if it is not set.
  virtual bool GetEnvVar(const std::string& name, std::string* value) = 0;
  /// Every entry of the environment block, "name=value", in block order.
  virtual std::vector<std::string> GetEnvironmentBlock() = 0;
  /// Makes `block` ("name=value" entries) the whole environment of the process.
  virtual void SetEnvironmentBlock(const std::vector<std::string>& block) = 0;
  /// %NAME% expansion as the system does it; undefined references stay.
  virtual std::string ExpandEnvVars(const std::string& text) = 0;
  /// Creates a process from a command line (the program is its first token)
  /// with this process's environment and current directory, waits at most
  /// 2000 ms for it to be ready for input, and lets it run. On failure
  /// returns false and the system's message for the error, in the user's
  /// language, in `failure`.
  virtual bool StartProcess(const std::string& command_line, std::string* failure) = 0;
};

/// Everything the program asks of the operating system: the three parts
/// above, which a class takes one by one where it needs no more.
class Platform : public FileSystem, public MachineFacts, public ProcessEnvironment {};

/// The system's own implementation for this build.
Platform& SystemPlatform();
/// Hands the process's arguments to the platform (the POSIX build needs
/// them; Windows reads its own command line).
void InitPlatformArguments(int argc, char** argv);

#endif  // PAGETRIX_PLATFORM_PLATFORM_H_
