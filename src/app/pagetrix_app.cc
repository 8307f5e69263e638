#include "app/pagetrix_app.h"

#include "app/check_run.h"
#include "app/command_line.h"
#include "app/windows.h"
#include "base/string_printf.h"
#include "base/text.h"
#include "config/main_config.h"
#include "config/run_log.h"
#include "gen/gen_html.h"
#include "platform/messages.h"
#include "platform/platform.h"

CPagetrixApp::~CPagetrixApp() { run_log_.Close(); }

std::string CPagetrixApp::GetConfigValue(const std::string& section, const std::string& key) const {
  std::string value;
  main_config_.GetValue(section, key, value);
  return value;
}

bool CPagetrixApp::PerformRun() {
  CMyCommandLineInfo command_line;
  if (!ReadCommandLine(command_line)) return false;
  // The check reports a missing configuration instead of showing help.
  if (command_line.check_mode) {
    PerformCheck(command_line);
    return false;
  }
  if (!LoadMainConfiguration(command_line)) return false;
  Log(RunLogDateLine(GetPlatform()));
  PrepareRun(main_config_, RunIdentityOf(command_line), command_file_, command_line_text_, run_log_,
             folder_, run_);

  std::string start_page = GeneratePages();

  std::string visible = GetConfigValue("Pagetrix", "Sichtbar");
  if (visible.empty() || ParseLeadingInt(visible) != 0) ShowResult(start_page);
  return false;
}

bool CPagetrixApp::ReadCommandLine(CMyCommandLineInfo& command_line) {
  Platform& platform = GetPlatform();
  command_line_text_ = platform.GetCommandLineText();
  if (platform.IsCtrlKeyDown())
    platform.ShowMessageBox(StringPrintf("Aufrufparameter='%s'", command_line_text_.c_str()));

  command_line.profile_path = LocateMainConfiguration(platform);
  command_line.ParseCommandLine(command_line_text_);
  profile_path_ = command_line.profile_path;
  return !command_line.help_shown;
}

bool CPagetrixApp::LoadMainConfiguration(CMyCommandLineInfo& command_line) {
  main_config_.Load(GetPlatform(), profile_path_);
  run_log_.SetPath(GetConfigValue("Protokolldatei", "Name"));
  command_file_ = !command_line.command_file.empty()
                      ? command_line.command_file
                      : GetConfigValue("StartVorlage", "StartVorlage");
  if (!command_file_.empty()) return true;
  command_line.ShowHelp();
  return false;
}

std::string CPagetrixApp::GeneratePages() {
  CGenHtml generator(run_log_, main_config_, run_.filter, rights_report_, folder_, nullptr);
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
  std::string name = GetConfigValue("StartProg", "Name");
  if (name.empty() || start_page.empty()) return;
  ExpandEnvironment(GetPlatform(), name, run_log_);
  // Built without a fixed limit; the system refuses what is beyond its own.
  std::string command = "\"" + name + "\" \"" + start_page + "\"";
  static const char* const kOptions[][2] = {
      {"Ini", "/INI=\""}, {"Param", "/PARAM=\""}, {"Log", "/LOG=\""}};
  for (const auto& option : kOptions) {
    std::string value = GetConfigValue("StartProg", option[0]);
    if (value.empty()) continue;
    ExpandEnvironment(GetPlatform(), value, run_log_);
    command += " ";
    command += option[1];
    command += value + "\"";
  }
  Log("");
  Log(Message(IDS_STARTING_PROGRAM, command));
  Platform& platform = GetPlatform();
  std::string failure;
  if (!platform.StartProcess(command, &failure)) platform.ShowMessageBox(failure);
}
