#include "app/pagetrix_app.h"

#include <ctime>

#include "app/command_line.h"
#include "app/helpers.h"
#include "app/windows.h"
#include "config/main_config.h"
#include "config/text.h"
#include "gen/gen_html.h"
#include "platform/platform.h"
#include "res/messages.h"

namespace {

CPagetrixApp* g_app = nullptr;

// The local date and time as message 210 formats it.
std::string DateLine() {
  std::tm local{};
  if (!GetPlatform().GetLocalTime(&local)) return "Invalid DateTime";
  std::string format = LoadMessage(IDS_DATE_FORMAT);
  std::string out(64, '\0');
  size_t n = std::strftime(out.data(), out.size(), format.c_str(), &local);
  if (n == 0 && !format.empty()) return "Invalid DateTime";
  out.resize(n);
  return out;
}

}  // namespace

CPagetrixApp::CPagetrixApp() { g_app = this; }

CPagetrixApp::~CPagetrixApp() {
  run_log_.Close();
  if (g_app == this) g_app = nullptr;
}

CPagetrixApp& TheApp() {
  if (g_app != nullptr) return *g_app;
  // Code outside a run (tests of single pieces) still gets an object.
  static CPagetrixApp fallback_app;
  return fallback_app;
}

std::string CPagetrixApp::GetConfigValue(const std::string& section,
                                         const std::string& key) const {
  std::string value;
  main_config_.GetValue(section, key, value);
  return value;
}

void CPagetrixApp::AddRightsReportRow(const std::string& rights, const std::string& entry,
                                      const std::string& command_file) {
  if (IsLogEnabled()) rights_report_.AddRow(rights, entry, command_file);
}

bool CPagetrixApp::PerformRun() {
  Platform& platform = GetPlatform();
  command_line_text_ = platform.GetCommandLineText();

  if (platform.IsCtrlKeyDown())
    platform.ShowMessageBox(StringPrintf("Aufrufparameter='%s'", command_line_text_.c_str()));

  profile_path_ = LocateMainConfiguration();
  CMyCommandLineInfo command_line;
  command_line.ParseCommandLine(command_line_text_);
  if (command_line.help_shown) return false;

  main_config_.Load(profile_path_);
  run_log_.SetPath(GetConfigValue("Protokolldatei", "Name"));
  command_file_ = !command_line.command_file.empty()
                      ? command_line.command_file
                      : GetConfigValue("StartVorlage", "StartVorlage");
  rights_flags_ = 0;
  server_flags_ = 0;
  if (command_file_.empty()) {
    command_line.ShowHelp();
    return false;
  }

  Log(DateLine());

  std::string user = command_line.user;
  if (user.empty()) platform.GetUserName(&user);
  std::string rights_text = GetConfigValue("Rechte", user);
  rights_flags_ = ParseHex(rights_text);
  Log(Message(IDS_CURRENT_USER, user, rights_text));

  Log("");
  Log(Message(IDS_PROGRAM_CALL, platform.GetModuleFileName(), command_line_text_));

  DetermineStartLocation(command_line.server, location_);
  std::string server_text = GetConfigValue("Server", location_.current_server);
  server_flags_ = ParseHex(server_text);
  Log(Message(IDS_SERVER_FLAGS, location_.current_server, server_text));

  if (!command_line.environment_file.empty())
    ApplyEnvironmentFile(command_line.environment_file, location_, run_log_);

  std::string start_page;
  {
    CGenHtml generator;
    generator.InitOutputDirectory();
    LogEnvironment(run_log_);
    ExpandEnvironment(command_file_);
    // Only the start page path matters; failures are in the run log.
    generator.Generate(command_file_, start_page);
    StartProgram(start_page);
    if (IsLogEnabled()) rights_report_.Write(run_log_);
  }

  std::string visible = GetConfigValue("Pagetrix", "Sichtbar");
  if (visible.empty() || ParseLeadingInt(visible) != 0) ShowResultWindow(start_page);
  return false;
}

void CPagetrixApp::StartProgram(const std::string& start_page) {
  std::string name = GetConfigValue("StartProg", "Name");
  if (name.empty() || start_page.empty()) return;
  ExpandEnvironment(name);
  // Built without a fixed limit; the system refuses what is beyond its own.
  std::string command = "\"" + name + "\" \"" + start_page + "\"";
  static const char* const kOptions[][2] = {
      {"Ini", "/INI=\""}, {"Param", "/PARAM=\""}, {"Log", "/LOG=\""}};
  for (const auto& option : kOptions) {
    std::string value = GetConfigValue("StartProg", option[0]);
    if (value.empty()) continue;
    ExpandEnvironment(value);
    command += " ";
    command += option[1];
    command += value + "\"";
  }
  Log("");
  Log(Message(IDS_STARTING_PROGRAM, command));
  Platform& platform = GetPlatform();
  unsigned error = 0;
  if (!platform.StartProcess(command, &error))
    platform.ShowMessageBox(platform.FormatSystemMessage(error));
}
