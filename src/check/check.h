/// Check mode: runs the run's own steps over a dry-run file layer for every
/// user, server and drive the main configuration names, and reports,
/// without writing a page, what each run does and who sees which link.
#ifndef PAGETRIX_CHECK_CHECK_H_
#define PAGETRIX_CHECK_CHECK_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gen/run_setup.h"

class CIniFile;
class OutputFolder;
class Platform;

enum class Severity { kWarning, kError };

/// The user of the matrix whom [Rechte] does not list.
inline constexpr char kUnlistedUserName[] = "(nicht eingetragen)";

/// One finding: where it is, what a real run will do, how to fix it.
struct Finding {
  Severity severity = Severity::kWarning;
  std::string file;
  size_t line = 0;  ///< 0: the file as a whole
  std::string section;
  std::string key;
  std::string what;
  std::string fix;
  /// The groups of runs it concerns; empty: every run.
  std::vector<size_t> groups;
};

/// One case of the matrix: a user on a server, from a drive.
struct MatrixColumn {
  std::string user;  ///< as listed in [Rechte]; for an unlisted user the name used
  bool user_listed = true;
  std::string server;  ///< as listed in [Server]; for an unlisted server the name used
  bool server_listed = true;
  bool cd = false;  ///< started from a CD-ROM drive, else from where the program lies
  std::uint32_t rights_flags = 0;
  std::uint32_t server_flags = 0;
  size_t group = 0;  ///< the runs that do the same
};

/// What a run does: the same for every column of the group.
struct RunGroup {
  int result = 0;     ///< Generate's result
  int exit_code = 0;  ///< the run's process exit code
  bool start_page_made = false;
  std::string start_page;  ///< the page the start program would open
  int message = 0;         ///< the message of the step that stopped it, or 0
  std::string message_text;
  std::vector<std::string> files;  ///< the output folder's files after the run
  /// Per row of the matrix: how often the page shows the entry (0: not).
  std::vector<std::uint32_t> shown;
  std::vector<size_t> columns;
};

/// One link entry on one page.
struct MatrixRow {
  std::string page;  ///< output file name
  std::string section;
  std::string text;  ///< Linktext as written, indent characters included
  std::string link;
  std::string command_file;
  size_t line = 0;
  std::uint32_t rights = 0;  ///< the parsed Rechte and Flags fields
  std::uint32_t flags = 0;
  std::string never_shown;  ///< why no run shows it (empty: some run shows it)
};

struct CheckReport {
  std::string main_config;
  std::string command_file;
  std::vector<Finding> findings;
  std::vector<MatrixColumn> columns;
  std::vector<RunGroup> groups;
  std::vector<MatrixRow> rows;

  size_t Count(Severity severity) const;
  /// 0 no findings, 1 only warnings, 2 errors.
  int ExitCode() const;
};

/// What the check reads, as the command line and the main configuration
/// name it.
struct CheckInput {
  std::string main_config_path;
  const CIniFile* main_config = nullptr;  ///< loaded by the run
  int main_config_result = 0;             ///< the reader's code for it
  /// As the command line or [StartVorlage] names it, not expanded; empty: none.
  std::string command_file;
  RunIdentity identity;   ///< USER=, SERVER=, CD and ENV= of the command line
  std::string call_text;  ///< the program's arguments
  /// The folder every walk stands for; the reports go there afterwards.
  OutputFolder* folder = nullptr;
};

/// Walks the configuration for every column over a dry-run layer on `real`
/// and fills the report. The process environment is left as the run of the
/// command line's own identity would leave it.
CheckReport CheckConfiguration(Platform& real, const CheckInput& input);

/// The report as text (CR LF lines, Windows-1252).
std::string FormatTextReport(const CheckReport& report);
/// The report as one HTML page with a filter by user.
std::string FormatHtmlReport(const CheckReport& report);
/// The report for programs: JSON, strings as the program's bytes with each
/// byte above 0x7F written as \u00XX.
std::string FormatJsonReport(const CheckReport& report);

#endif  // PAGETRIX_CHECK_CHECK_H_
