/// A Platform for tests: the real system, with the varying facts substituted.
#ifndef PAGETRIX_TESTS_SUPPORT_FAKE_PLATFORM_H_
#define PAGETRIX_TESTS_SUPPORT_FAKE_PLATFORM_H_

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

// Forwards files, directories and the environment to SystemPlatform(). An
// empty optional means "ask the real system"; user-interface calls, process
// creation, the registry and the Ctrl key are never forwarded.
class FakePlatform : public Platform {
 public:
  // ---- Substituted facts ----
  std::optional<std::uint32_t> tick_count;
  /// Added to tick_count after every GetTickCount call (0: a stopped clock).
  std::uint32_t tick_step = 0;
  std::optional<std::int64_t> unix_time;
  std::optional<std::tm> local_time;
  /// Drive type by exact argument; else drive_type; else the real one.
  std::map<std::string, unsigned> drive_types;
  std::optional<unsigned> drive_type;
  /// Network name by exact argument; else network_name; else the real one.
  /// An empty text makes the call fail (a local drive).
  std::map<std::string, std::string> network_names;
  std::optional<std::string> network_name;
  /// An empty text makes GetUserName fail.
  std::optional<std::string> user_name;
  /// Default values under the classes root, by subkey (matched without
  /// ASCII case, like the registry). Values over 259 bytes are not read.
  std::map<std::string, std::string> classes_root;
  bool ctrl_key_down = false;
  std::optional<std::string> module_file_name;
  std::optional<std::string> command_line_text;
  std::optional<std::string> temp_path;
  /// Handed out in turn by CreateGuidText; a real GUID once used up.
  std::vector<std::string> guid_texts;

  // ---- Recorded calls ----
  std::vector<std::string> message_boxes;
  std::vector<CDialog*> dialogs;
  /// Called for each dialog (after recording); its result is the end code.
  std::function<int(CDialog&)> on_dialog;
  std::vector<std::string> started_processes;
  /// When set, StartProcess records the line and fails with this code.
  std::optional<unsigned> start_process_error;

  int ReadFileExclusive(const std::string& path, std::string* bytes) override;
  bool ReadFile(const std::string& path, std::string* bytes) override;
  std::unique_ptr<WritableFile> NewWritableFile(const std::string& path, bool exclusive) override;
  bool ListDirectory(const std::string& dir, std::vector<FindEntry>* entries) override;
  int FindPath(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  RemoveDirResult RemoveDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool SetNormalAttributes(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) override;
  bool GetCreationTime(const std::string& path, std::int64_t* seconds) override;
  bool GetCurrentDirectory(std::string* path) override;
  bool SetCurrentDirectory(const std::string& path) override;
  std::string GetTempPath() override;
  bool SearchPath(const std::string& name, std::string* full_path) override;
  std::string GetModuleFileName() override;

  unsigned GetDriveType(const std::string& root) override;
  bool GetNetworkName(const std::string& path, std::string* remote) override;
  bool GetUserName(std::string* name) override;
  bool ReadClassesRootDefault(const std::string& subkey, std::string* value) override;
  bool IsCtrlKeyDown() override { return ctrl_key_down; }
  std::uint32_t GetTickCount() override;
  std::int64_t GetUnixTime() override;
  bool GetLocalTime(std::tm* local) override;
  std::string CreateGuidText() override;

  std::string GetCommandLineText() override;
  bool GetEnvironmentVariable(const std::string& name, std::string* value) override;
  bool SetEnvironmentVariable(const std::string& name, const std::string& value) override;
  std::vector<std::string> GetEnvironmentBlock() override;
  std::string ExpandEnvironmentStrings(const std::string& text) override;
  bool StartProcess(const std::string& command_line, unsigned* error) override;
  std::string FormatSystemMessage(unsigned error) override;

  std::string LoadString(int id) override;
  void ShowMessageBox(const std::string& text) override;
  int RunModalDialog(CDialog& dialog) override;

 private:
  size_t next_guid_ = 0;
};

/// Installs a FakePlatform for its lifetime and restores the previous one.
class ScopedPlatform {
 public:
  ScopedPlatform() : previous_(SetPlatform(&fake_)) {}
  ~ScopedPlatform() { SetPlatform(previous_); }
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

  FakePlatform& fake() { return fake_; }
  FakePlatform* operator->() { return &fake_; }

 private:
  FakePlatform fake_;
  Platform* previous_;
};

#endif  // PAGETRIX_TESTS_SUPPORT_FAKE_PLATFORM_H_
