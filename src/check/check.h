/// Check mode: reads everything a run would read and reports, without
/// writing a page, what a real run will do wrong and who sees which link.
#ifndef PAGETRIX_CHECK_CHECK_H_
#define PAGETRIX_CHECK_CHECK_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CIniFile;

enum class Severity { kWarning, kError };

/// One finding: where it is, what a real run will do, how to fix it.
struct Finding {
  Severity severity = Severity::kWarning;
  std::string file;
  size_t line = 0;  ///< 0: the file as a whole
  std::string section;
  std::string key;
  std::string what;
  std::string fix;
};

/// One case of the visibility matrix: a user on a server, from a drive.
struct MatrixColumn {
  std::string user;    ///< empty: a user not listed in [Rechte]
  std::string server;  ///< empty: a server not listed in [Server]
  bool cd = false;     ///< started from a CD-ROM drive, else from a fixed drive
  std::uint32_t rights_flags = 0;
  std::uint32_t server_flags = 0;
};

/// One link entry of a page and in which cases a real run shows it.
struct MatrixRow {
  std::string page;  ///< output file name
  std::string section;
  std::string text;  ///< Linktext as written, indent characters included
  std::string link;
  std::string command_file;
  size_t line = 0;
  std::uint32_t rights = 0;  ///< the parsed Rechte and Flags fields
  std::uint32_t flags = 0;
  std::string never_shown;  ///< why no run shows it (empty: the filter decides)
  std::vector<bool> shown;  ///< one per column
};

struct CheckReport {
  std::string main_config;
  std::string command_file;
  std::vector<Finding> findings;
  std::vector<MatrixColumn> columns;
  std::vector<MatrixRow> rows;

  size_t Count(Severity severity) const;
  /// 0 no findings, 1 only warnings, 2 errors.
  int ExitCode() const;
};

/// What the check reads, as the run has determined it.
struct CheckInput {
  std::string main_config_path;
  const CIniFile* main_config = nullptr;  ///< loaded by the run
  std::string command_file;               ///< expanded, as Generate would get it
  std::string environment_file;           ///< empty without ENV=
  /// The fresh folder the report goes to; stands for the output directory
  /// in %PagetrixAusgabePath% targets of [Kopieren].
  std::string output_directory;
};

/// Reads every file of the configuration and fills the report.
CheckReport CheckConfiguration(const CheckInput& input);

/// The report as text (CR LF lines, Windows-1252).
std::string FormatTextReport(const CheckReport& report);
/// The report as one HTML page with a filter by user.
std::string FormatHtmlReport(const CheckReport& report);

#endif  // PAGETRIX_CHECK_CHECK_H_
