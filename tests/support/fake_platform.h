/// A Platform for tests: real files in real temp folders, an environment of
/// its own, the varying machine facts substituted, and file operations that
/// fail on purpose.
#ifndef PAGETRIX_TESTS_SUPPORT_FAKE_PLATFORM_H_
#define PAGETRIX_TESTS_SUPPORT_FAKE_PLATFORM_H_

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform_wrapper.h"

/// The file operations a test can make fail.
enum class FileOp {
  kOpen,     ///< OpenForReading or NewWritableFile cannot open the file
  kRead,     ///< a read breaks off after FailRule::bytes_read bytes (or at the end before them)
  kAppend,   ///< WritableFile::Append writes nothing and fails
  kClose,    ///< WritableFile::Close fails (the bytes are on disk)
  kCopy,     ///< CopyFileTo fails without writing the target
  kRewrite,  ///< RewriteFile fails and leaves the file as it was
  kMemory,   ///< reading the file finds no memory for its bytes
};

/// One deliberate failure: operation `op` on exactly `path` succeeds
/// `calls_before` times, then fails every time.
struct FailRule {
  FileOp op;
  std::string path;
  int calls_before = 0;
  size_t bytes_read = 0;  ///< kRead: what the caller still gets
};

// Files and directories go to the real system (through PlatformWrapper)
// unless a FailRule matches. The environment lives in memory, empty at the
// start, so tests never change the process's own. The user interface,
// process creation, the registry and the Ctrl key never reach the system.
class FakePlatform : public PlatformWrapper {
 public:
  // ---- Failures on purpose ----
  std::vector<FailRule> fail_rules;
  void Fail(FileOp op, const std::string& path, int calls_before = 0, size_t bytes_read = 0) {
    fail_rules.push_back(FailRule{op, path, calls_before, bytes_read});
  }

  // ---- Substituted facts ----
  std::optional<std::uint32_t> tick_count;
  /// Added to tick_count after every GetTickCount call (0: a stopped clock).
  std::uint32_t tick_step = 0;
  std::optional<std::int64_t> unix_time;
  std::optional<std::tm> local_time;
  /// Sets local_time to a date and time as a calendar shows them.
  void SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local_time = local;
  }
  /// Creation times by the last component of the path; else the real one.
  std::map<std::string, std::int64_t> creation_times;
  /// Last-write times by the last component of the path; else the real one.
  std::map<std::string, std::int64_t> write_times;
  /// Drive type by exact argument; else drive_type; else the real one.
  std::map<std::string, DriveType> drive_types;
  std::optional<DriveType> drive_type;
  /// Network name by exact argument; else network_name; else the real one.
  /// An empty text makes the call fail (a local drive).
  std::map<std::string, std::string> network_names;
  std::optional<std::string> network_name;
  /// An empty text makes GetLogonUser fail.
  std::optional<std::string> user_name;
  /// Default values under the classes root, by subkey (matched without
  /// ASCII case, like the registry). Values over 259 bytes are not read.
  std::map<std::string, std::string> classes_root;
  std::optional<std::string> program_path;
  std::optional<std::string> command_line_text;
  std::optional<std::string> temp_dir;
  /// Handed out in turn by CreateGuidText; a real GUID once used up.
  std::vector<std::string> guid_texts;
  /// Answers IsOwnPlace in place of the system (another user's places).
  std::function<bool(const std::string&)> own_place;

  // ---- Recorded calls ----
  /// Every directory listed, in order.
  std::vector<std::string> listed;
  /// Every path a file was opened at, in order: read whole or in part,
  /// written, rewritten, or copied from or to.
  std::vector<std::string> opened;
  std::vector<std::string> started_processes;
  /// When set, StartProcess records the line and fails with this text.
  std::optional<std::string> start_process_failure;

  /// True when a FailRule says this call of `op` on `path` fails; counts it.
  bool ShouldFail(FileOp op, const std::string& path, size_t* bytes_read = nullptr);

  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override;
  std::unique_ptr<WritableFile> NewWritableFile(const std::string& path, bool exclusive) override;
  bool RewriteFile(const std::string& path, std::string_view bytes) override;
  bool ListFolder(const std::string& dir, std::vector<FolderEntry>* entries) override;
  CopyOutcome CopyFileTo(const std::string& from, const std::string& to,
                         bool fail_if_exists) override;
  PathInfo Inspect(const std::string& path, Links links) override;
  std::string GetTempFolder() override;
  bool IsOwnPlace(const std::string& path) override {
    return own_place ? own_place(path) : PlatformWrapper::IsOwnPlace(path);
  }
  std::string GetProgramPath() override;

  DriveType QueryDriveType(const std::string& root) override;
  bool GetNetworkName(const std::string& path, std::string* remote) override;
  bool GetLogonUser(std::string* name) override;
  bool ReadClassesRootDefault(const std::string& subkey, std::string* value) override;
  std::uint32_t GetTickCount() override;
  WallClock GetWallClock() override;
  std::string CreateGuidText() override;

  std::string GetCommandLineText() override;
  bool GetEnvVar(const std::string& name, std::string* value) override;
  std::vector<std::string> GetEnvironmentBlock() override;
  void SetEnvironmentBlock(const std::vector<std::string>& block) override;
  std::string ExpandEnvVars(const std::string& text) override;
  bool StartProcess(const std::string& command_line, std::string* failure) override;

 private:
  // The rule for this call, if one fails it; counts the calls it lets pass.
  const FailRule* MatchFailure(FileOp op, const std::string& path);
  // Records a path; tests may call file operations from several threads.
  void Note(std::vector<std::string>& list, const std::string& path);

  std::mutex mutex_;  // the recorded lists and the call counts
  std::map<std::pair<int, std::string>, int> calls_;
  /// Name and value pairs in the order they were first set.
  std::vector<std::pair<std::string, std::string>> environment_;
  size_t next_guid_ = 0;
};

#endif  // PAGETRIX_TESTS_SUPPORT_FAKE_PLATFORM_H_
