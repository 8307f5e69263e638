/// The application object: one run from process start to process end.
#ifndef PAGETRIX_APP_PAGETRIX_APP_H_
#define PAGETRIX_APP_PAGETRIX_APP_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"
#include "gen/output_folder.h"
#include "gen/run_setup.h"
#include "platform/window_system.h"

class CMyCommandLineInfo;
class Platform;

/// Made once by the process entry. It owns what lives for the whole run and
/// hands the page generator what it needs; nothing below reaches back for it.
class CPagetrixApp {
 public:
  /// `platform` is the machine the run reads, writes and starts programs
  /// on; `windows` shows the windows, message boxes and console texts.
  CPagetrixApp(Platform& platform, WindowSystem& windows)
      : platform_(platform), windows_(windows), run_log_(platform), folder_(platform) {}
  virtual ~CPagetrixApp();
  CPagetrixApp(const CPagetrixApp&) = delete;
  CPagetrixApp& operator=(const CPagetrixApp&) = delete;

  /// The whole run; always false (the process ends).
  bool PerformRun();
  /// The process exit code: a normal run gives 0 when a start page was made,
  /// else the generator's result; a check run 0, 1 (warnings) or 2 (errors).
  int ExitCode() const { return exit_code_; }

 private:
  /// Ctrl key, main configuration path and command line; false when the
  /// help window ended the run.
  bool ReadCommandLine(CMyCommandLineInfo& command_line);
  /// Loads the main configuration and takes the run log path and the
  /// command file from it; false (after the help window) without a command file.
  bool LoadMainConfiguration(CMyCommandLineInfo& command_line);
  /// Pages and start program; the start page path.
  std::string GeneratePages();
  void StartProgram(const std::string& start_page);
  /// The check mode: reads what a run would read and writes the report.
  void PerformCheck(const CMyCommandLineInfo& command_line);
  /// The result window: the start page, or what went wrong.
  void ShowResult(const std::string& start_page);

  /// GetValue on the main configuration file; empty when missing.
  std::string GetConfigValue(std::string_view section, std::string_view key) const;
  void Log(const std::string& text) { run_log_.Log(text); }

  Platform& platform_;
  WindowSystem& windows_;
  std::string profile_path_;
  CIniFile main_config_;
  std::string command_line_text_;
  std::string command_file_;
  RunLog run_log_;
  PreparedRun run_;
  OutputFolder folder_;
  RightsReport rights_report_;
  int exit_code_ = 0;
};

#endif  // PAGETRIX_APP_PAGETRIX_APP_H_
