/// Where the program was started from, the environment file and the environment dump.
#ifndef PAGETRIX_CONFIG_ENVIRONMENT_H_
#define PAGETRIX_CONFIG_ENVIRONMENT_H_

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

class CIniFile;
class CRunLog;
class LogSink;

/// Start drive, its drive type, the environment section and the current server.
struct StartLocation {
  std::string start_drive;
  DriveType drive_type = DriveType::kUnknown;
  std::string environment_section = "Environment";
  std::string current_server;
};

/// Fills the start location from the program's own path; a non-empty
/// override replaces the current server.
void DetermineStartLocation(const std::string& server_override, StartLocation& location);

/// Ordered (placeholder, value) pairs; it only grows.
using SubstitutionTable = std::vector<std::pair<std::string, std::string>>;
/// Two parallel lists: variable names and values.
struct VariableLists {
  std::vector<std::string> names;
  std::vector<std::string> values;
};

/// Reads the environment file and sets its variables (only with ENV=).
void ApplyEnvironmentFile(const std::string& path, StartLocation& location, CRunLog& log);
void ApplyServerSection(const CIniFile& reader, const StartLocation& location,
                        SubstitutionTable& table, VariableLists& variables, CRunLog& log);
void ApplyEnvironmentSection(const CIniFile& reader, const std::string& section,
                             SubstitutionTable& table, VariableLists& variables, CRunLog& log);
/// Replaces the placeholder while it is the value's leftmost %-token.
void ReplacePlaceholder(std::string& value, const std::string& placeholder,
                        const std::string& replacement);
/// Path of the executable of a registered automation server, or empty.
std::string LookupLocalServer(const std::string& program_id);
/// Writes every environment variable to the run log (when it is on).
void LogEnvironment(CRunLog& log);

/// Expands %NAME% references in place against the process environment; logs
/// message 103 when a "%" is left. Empty values and values without "%" stay.
void ExpandEnvironment(std::string& value, LogSink& log);

#endif  // PAGETRIX_CONFIG_ENVIRONMENT_H_
