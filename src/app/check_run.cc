#include "app/check_run.h"

#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/pagetrix_app.h"
#include "app/windows.h"
#include "check/check.h"
#include "config/environment.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "platform/platform.h"

namespace {

const char kTextReport[] = "Pruefbericht.txt";
const char kHtmlReport[] = "Pruefbericht.htm";

}  // namespace

void TreatStartDriveAsCd(StartLocation& location) {
  location.drive_type = DriveType::kCdRom;
  location.environment_section = "Environment_CDROM";
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::unique_ptr<WritableFile> file = GetPlatform().NewWritableFile(path, /*exclusive=*/false);
  return file && file->Append(bytes) && file->Close();
}

// Nothing of this goes to the run log, and nothing is written but the two
// reports in a fresh output folder: old folders stay, no placement is saved.
void CPagetrixApp::PerformCheck(const CMyCommandLineInfo& command_line) {
  run_log_.SetPath("");
  DetermineStartLocation(command_line.server, location_);
  if (command_line.as_cd) TreatStartDriveAsCd(location_);
  // The variables a run would set, so that values expand as in the run.
  if (!command_line.environment_file.empty())
    ApplyEnvironmentFile(command_line.environment_file, location_, run_log_);

  const LinkFilter filter{rights_flags_, server_flags_, location_.drive_type};
  CGenHtml generator(run_log_, main_config_, filter, rights_report_);
  generator.InitOutputDirectory();
  ExpandEnvironment(command_file_, run_log_);
  CheckInput input;
  input.main_config_path = profile_path_;
  input.main_config = &main_config_;
  input.command_file = command_file_;
  input.environment_file = command_line.environment_file;
  input.output_directory = generator.OutputDirectoryPath();
  CheckReport report = CheckConfiguration(input);
  exit_code_ = report.ExitCode();

  const std::string text = FormatTextReport(report);
  GetPlatform().WriteToConsole(text);
  std::string prefix;
  bool written = generator.CreateOutputDirectory(prefix) == GenResult::kOk &&
                 WriteWholeFile(prefix + kTextReport, text) &&
                 WriteWholeFile(prefix + kHtmlReport, FormatHtmlReport(report));
  if (!written) {
    exit_code_ = 2;
    return;
  }
  StartProgram(prefix + kHtmlReport);
}

void CPagetrixApp::ShowResult(const std::string& start_page) {
  const std::vector<std::string>& failures = run_log_.Failures();
  if (!start_page.empty() || failures.empty()) {
    ShowResultWindow(start_page, profile_path_);
    return;
  }
  std::string log_path = GetConfigValue("Protokolldatei", "Name");
  // Only a log that this run could write is offered.
  if (!run_log_.IsEnabled() || GetPathKind(log_path) != PathKind::kFile) log_path.clear();
  // Closed for good before the window shows, so that the button's editor
  // can open it.
  run_log_.Close();
  ShowFailureWindow(failures, exit_code_, log_path, profile_path_, run_log_.Refusal());
}
