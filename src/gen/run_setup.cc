#include "gen/run_setup.h"

#include "base/text.h"
#include "config/config_names.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "gen/gen_html.h"
#include "gen/output_folder.h"
#include "platform/messages.h"
#include "platform/platform.h"

std::uint32_t UserRights(const CIniFile& main_config, const std::string& user, std::string& text) {
  main_config.GetValue(names::kRechte, user, text);
  return ParseHex(text);
}

std::uint32_t ServerFlags(const CIniFile& main_config, const std::string& server,
                          std::string& text) {
  main_config.GetValue(names::kServer, server, text);
  return ParseHex(text);
}

void TreatStartDriveAsCd(StartLocation& location) {
  location.drive_type = DriveType::kCdRom;
  location.environment_section = SectionForDriveType(DriveType::kCdRom);
}

void PrepareRun(Platform& platform, const CIniFile& main_config, const RunIdentity& identity,
                const std::string& command_file, const std::string& call_text, RunLog& log,
                OutputFolder& folder, PreparedRun& run) {
  run.user = identity.user;
  if (run.user.empty()) platform.GetLogonUser(&run.user);
  run.filter.rights_flags = UserRights(main_config, run.user, run.rights_text);
  log.Log(Message(IDS_CURRENT_USER, run.user, run.rights_text));

  log.Log("");
  log.Log(Message(IDS_PROGRAM_CALL, platform.GetProgramPath(), call_text));

  DetermineStartLocation(platform, identity.server, run.location);
  if (identity.as_cd) TreatStartDriveAsCd(run.location);
  run.filter.start_drive_type = run.location.drive_type;
  run.filter.server_flags = ServerFlags(main_config, run.location.current_server, run.server_text);
  log.Log(Message(IDS_SERVER_FLAGS, run.location.current_server, run.server_text));

  if (!identity.environment_file.empty())
    ApplyEnvironmentFile(platform, identity.environment_file, run.location, log);

  folder.Init();
  LogEnvironment(platform, log);
  run.command_file = command_file;
  ExpandEnvironment(platform, run.command_file, log);
}

int RunExitCode(GenResult result, const std::string& start_page) {
  return start_page.empty() ? static_cast<int>(result) : 0;
}
