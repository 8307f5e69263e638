/// The application object: one run from process start to process end.
#ifndef PAGETRIX_APP_PAGETRIX_APP_H_
#define PAGETRIX_APP_PAGETRIX_APP_H_

#include <cstdint>
#include <string>

#include "config/environment.h"
#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"

class CMyCommandLineInfo;

class CPagetrixApp {
 public:
  /// Becomes the process's application object (TheApp()).
  CPagetrixApp();
  virtual ~CPagetrixApp();
  CPagetrixApp(const CPagetrixApp&) = delete;
  CPagetrixApp& operator=(const CPagetrixApp&) = delete;

  /// The whole run; always false (the process ends).
  bool PerformRun();

  // Run log.
  void Log(const std::string& text) { run_log_.Log(text); }
  bool IsLogEnabled() const { return run_log_.IsEnabled(); }
  CRunLog& RunLog() { return run_log_; }

  // Main configuration file.
  const std::string& ProfilePath() const { return profile_path_; }
  void SetProfilePath(const std::string& path) { profile_path_ = path; }
  CIniFile& MainConfig() { return main_config_; }
  /// GetValue on the main configuration file; empty when missing.
  std::string GetConfigValue(const std::string& section, const std::string& key) const;

  // Identity, rights and start location.
  std::uint32_t RightsFlags() const { return rights_flags_; }
  std::uint32_t ServerFlags() const { return server_flags_; }
  void SetRightsFlags(std::uint32_t flags) { rights_flags_ = flags; }
  void SetServerFlags(std::uint32_t flags) { server_flags_ = flags; }
  StartLocation& Location() { return location_; }
  unsigned StartDriveType() const { return location_.drive_type; }
  CRightsReport& RightsReport() { return rights_report_; }
  /// Records a rights report row (only while the run log is on).
  void AddRightsReportRow(const std::string& rights, const std::string& entry,
                          const std::string& command_file);

  const std::string& CommandLineText() const { return command_line_text_; }

 private:
  void StartProgram(const std::string& start_page);

  std::string profile_path_;
  CIniFile main_config_;
  std::string command_line_text_;
  std::string command_file_;
  CRunLog run_log_;
  std::uint32_t rights_flags_ = 0;
  std::uint32_t server_flags_ = 0;
  StartLocation location_;
  CRightsReport rights_report_;
};

/// The process's application object.
CPagetrixApp& TheApp();

#endif  // PAGETRIX_APP_PAGETRIX_APP_H_
