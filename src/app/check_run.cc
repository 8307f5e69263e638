#include "app/check_run.h"

#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/pagetrix_app.h"
#include "check/check.h"
#include "config/config_names.h"
#include "fs/util.h"
#include "gen/output_folder.h"
#include "platform/platform.h"
#include "ui/run_windows.h"

namespace {

const char kTextReport[] = "Pruefbericht.txt";
const char kHtmlReport[] = "Pruefbericht.htm";
const char kJsonReport[] = "Pruefbericht.json";

}  // namespace

bool WriteWholeFile(FileSystem& files, const std::string& path, const std::string& bytes) {
  std::unique_ptr<WritableFile> file = files.NewWritableFile(path, /*exclusive=*/false);
  return file && file->Append(bytes) && file->Close();
}

// Nothing of this goes to the run log, and nothing is written but the
// reports in a fresh output folder: old folders stay, no placement is saved.
// A missing configuration is reported, never answered with the help window.
void CPagetrixApp::PerformCheck(const CMyCommandLineInfo& command_line) {
  const int loaded = main_config_.Load(platform_, profile_path_);
  run_log_.SetPath("");
  command_file_ = !command_line.command_file.empty()
                      ? command_line.command_file
                      : GetConfigValue(names::kStartVorlage, names::kStartVorlage);
  CheckInput input;
  input.main_config_path = profile_path_;
  input.main_config = &main_config_;
  input.main_config_result = loaded;
  input.command_file = command_file_;
  input.identity = RunIdentityOf(command_line);
  input.call_text = command_line_text_;
  input.folder = &folder_;
  CheckReport report = CheckConfiguration(platform_, input);
  exit_code_ = report.ExitCode();

  const std::string text = FormatTextReport(report);
  windows_.WriteToConsole(text);
  folder_.Init();
  std::string prefix;
  bool written = folder_.Create(prefix) && WriteWholeFile(platform_, prefix + kTextReport, text) &&
                 WriteWholeFile(platform_, prefix + kHtmlReport, FormatHtmlReport(report)) &&
                 WriteWholeFile(platform_, prefix + kJsonReport, FormatJsonReport(report));
  folder_.ReleaseLock();
  if (!written) {
    exit_code_ = 2;
    return;
  }
  StartProgram(prefix + kHtmlReport);
}

void CPagetrixApp::ShowResult(const std::string& start_page) {
  const std::vector<std::string>& failures = run_log_.Failures();
  if (!start_page.empty() || failures.empty()) {
    ShowResultWindow(windows_, start_page, profile_path_);
    return;
  }
  std::string log_path = GetConfigValue(names::kProtokolldatei, names::kName);
  // Only a log that this run could write is offered.
  if (!run_log_.IsEnabled() || GetPathKind(platform_, log_path) != PathKind::kFile)
    log_path.clear();
  // Closed for good before the window shows, so that the button's editor
  // can open it.
  run_log_.Close();
  ShowFailureWindow(windows_, failures, exit_code_, log_path, profile_path_, run_log_.Refusal());
}
