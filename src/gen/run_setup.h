/// The steps of a run before its pages are made: who runs it, from where,
/// with which environment and output folder. A run and the check mode both
/// take them from here.
#ifndef PAGETRIX_GEN_RUN_SETUP_H_
#define PAGETRIX_GEN_RUN_SETUP_H_

#include <cstdint>
#include <string>

#include "config/environment.h"
#include "gen/link_entry.h"

class CIniFile;
class RunLog;
class OutputFolder;
class Platform;
enum class GenResult : int;

/// What the command line says about who runs the program and from where.
struct RunIdentity {
  std::string user;              ///< USER=; empty: the logged-on user
  std::string server;            ///< SERVER=; empty: the server the program lies on
  bool as_cd = false;            ///< CD: the start drive counts as a CD-ROM drive
  std::string environment_file;  ///< ENV=; empty: none
};

/// What the set-up found.
struct PreparedRun {
  std::string user;
  std::string rights_text;  ///< as read from [Rechte]
  std::string server_text;  ///< as read from [Server]
  StartLocation location;
  LinkFilter filter;
  std::string command_file;  ///< %NAME% expanded, as Generate gets it
};

/// The user's rights word as [Rechte] gives it; `text` the value as read.
std::uint32_t UserRights(const CIniFile& main_config, const std::string& user, std::string& text);
/// The server's flags as [Server] gives them; `text` the value as read.
std::uint32_t ServerFlags(const CIniFile& main_config, const std::string& server,
                          std::string& text);

/// Makes the run treat its start drive as a CD-ROM drive, with the
/// environment section a CD start selects.
void TreatStartDriveAsCd(StartLocation& location);

/// The set-up, in its order: the user and the rights (213), the program call
/// (221, with `call_text`), the start location, the server flags (225), the
/// environment file, the output folder (chosen and published), the
/// environment dump, and the command file path expanded. Everything it asks
/// of the machine, it asks `platform`.
void PrepareRun(Platform& platform, const CIniFile& main_config, const RunIdentity& identity,
                const std::string& command_file, const std::string& call_text, RunLog& log,
                OutputFolder& folder, PreparedRun& run);

/// The process exit code of a run whose Generate gave `result` and
/// `start_page`: 0 when a start page was made, else the result.
int RunExitCode(GenResult result, const std::string& start_page);

#endif  // PAGETRIX_GEN_RUN_SETUP_H_
