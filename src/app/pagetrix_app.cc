#include "app/pagetrix_app.h"

#include "app/check_run.h"
#include "app/command_line.h"
#include "base/string_printf.h"
#include "base/text.h"
#include "config/config_names.h"
#include "config/main_config.h"
#include "config/run_log.h"
#include "gen/gen_html.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "ui/run_windows.h"

CPagetrixApp::~CPagetrixApp() { run_log_.Close(); }

std::string CPagetrixApp::GetConfigValue(std::string_view section, std::string_view key) const {
  std::string value;
  main_config_.GetValue(section, key, value);
  return value;
}

bool CPagetrixApp::PerformRun() {
  CMyCommandLineInfo command_line(platform_, windows_);
  if (!ReadCommandLine(command_line)) return false;
  // The check reports a missing configuration instead of showing help.
  if (command_line.check_mode) {
    PerformCheck(command_line);
    return false;
  }
  if (!LoadMainConfiguration(command_line)) return false;
  Log(RunLogDateLine(platform_));
  PrepareRun(platform_, main_config_, RunIdentityOf(command_line), command_file_,
             command_line_text_, run_log_, folder_, run_);

  std::string start_page = GeneratePages();

  std::string visible = GetConfigValue(names::kPagetrix, names::kSichtbar);
  if (visible.empty() || ParseLeadingInt(visible) != 0) ShowResult(start_page);
  return false;
}

bool CPagetrixApp::ReadCommandLine(CMyCommandLineInfo& command_line) {
  command_line_text_ = platform_.GetCommandLineText();
  if (windows_.IsCtrlKeyDown())
    windows_.ShowMessageBox(StringPrintf("Aufrufparameter='%s'", command_line_text_.c_str()));

  command_line.profile_path = LocateMainConfiguration(platform_);
  command_line.ParseCommandLine(command_line_text_);
  profile_path_ = command_line.profile_path;
  return !command_line.help_shown;
}

bool CPagetrixApp::LoadMainConfiguration(CMyCommandLineInfo& command_line) {
  main_config_.Load(platform_, profile_path_);
  run_log_.SetPath(GetConfigValue(names::kProtokolldatei, names::kName));
  command_file_ = !command_line.command_file.empty()
                      ? command_line.command_file
                      : GetConfigValue(names::kStartVorlage, names::kStartVorlage);
  if (!command_file_.empty()) return true;
  command_line.ShowHelp();
  return false;
}

std::string CPagetrixApp::GeneratePages() {
  CGenHtml generator(platform_, run_log_, main_config_, run_.filter, rights_report_, folder_,
                     nullptr);
  std::string start_page;
  GenResult result = generator.Generate(run_.command_file, start_page);
  exit_code_ = RunExitCode(result, start_page);
  StartProgram(start_page);
  // Deleting runs leave the folder alone until the start program runs.
  folder_.ReleaseLock();
  if (run_log_.IsEnabled()) rights_report_.Write(run_log_);
  return start_page;
}

void CPagetrixApp::StartProgram(const std::string& start_page) {
  std::string name = GetConfigValue(names::kStartProg, names::kName);
  if (name.empty() || start_page.empty()) return;
  ExpandEnvironment(platform_, name, run_log_);
  // Built without a fixed limit; the system refuses what is beyond its own.
  std::string command = "\"" + name + "\" \"" + start_page + "\"";
  static constexpr std::string_view kOptions[][2] = {
      {names::kIni, "/INI=\""}, {names::kParam, "/PARAM=\""}, {names::kLog, "/LOG=\""}};
  for (const auto& option : kOptions) {
    std::string value = GetConfigValue(names::kStartProg, option[0]);
    if (value.empty()) continue;
    ExpandEnvironment(platform_, value, run_log_);
    command += " ";
    command += option[1];
    command += value + "\"";
  }
  Log("");
  Log(Message(IDS_STARTING_PROGRAM, command));
  std::string failure;
  if (!platform_.StartProcess(command, &failure)) windows_.ShowMessageBox(failure);
}
