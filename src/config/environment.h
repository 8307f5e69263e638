/// Where the program was started from, the environment file and the environment dump.
#ifndef PAGETRIX_CONFIG_ENVIRONMENT_H_
#define PAGETRIX_CONFIG_ENVIRONMENT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "config/config_names.h"
#include "platform/platform.h"

class CIniFile;
class RunLog;
class LogSink;

/// Start drive, its drive type, the environment section and the current server.
struct StartLocation {
  std::string start_drive;
  DriveType drive_type = DriveType::kUnknown;
  std::string environment_section{names::kEnvironment};
  std::string current_server;
};

/// Fills the start location from the program's own path; a non-empty
/// override replaces the current server.
void DetermineStartLocation(Platform& platform, const std::string& server_override,
                            StartLocation& location);
/// The environment section a start from a drive of this type reads.
std::string_view SectionForDriveType(DriveType drive_type);

/// Longest value of an environment variable (the Windows limit).
inline constexpr size_t kMaxVariableValue = 32767;
/// Most bytes the values of the substitution table hold together: what an
/// environment file's entries expand to (the start drive, server and office
/// paths included). A value beyond it is cut, so a small file cannot expand
/// to gigabytes.
inline constexpr size_t kMaxEnvironmentTotal = size_t{4} << 20;

/// Ordered (placeholder, value) pairs; it only grows. Pairs are also found
/// by their placeholder, so that resolving a value never walks the table.
class SubstitutionTable {
 public:
  void Add(std::string placeholder, std::string value);
  size_t size() const { return pairs_.size(); }
  /// The bytes of all values together.
  size_t ValueBytes() const { return value_bytes_; }
  const std::pair<std::string, std::string>& operator[](size_t i) const { return pairs_[i]; }
  /// The first position in [from, end) whose placeholder equals `token`
  /// (ASCII letter case aside); size() if there is none.
  size_t Find(std::string_view token, size_t from, size_t end) const;

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
  std::unordered_map<std::string, std::vector<size_t>> positions_;  // by upper-cased placeholder
  size_t value_bytes_ = 0;
};
/// Two parallel lists: variable names and values.
struct VariableLists {
  std::vector<std::string> names;
  std::vector<std::string> values;
};

/// Reads the environment file and sets its variables (only with ENV=).
void ApplyEnvironmentFile(Platform& platform, const std::string& path, StartLocation& location,
                          RunLog& log);
void ApplyServerSection(const CIniFile& reader, const StartLocation& location,
                        SubstitutionTable& table, VariableLists& variables, RunLog& log);
void ApplyEnvironmentSection(const CIniFile& reader, const std::string& section,
                             SubstitutionTable& table, VariableLists& variables, RunLog& log);
/// Replaces the placeholder while it is the value's leftmost %-token. A
/// value that would grow beyond `limit` characters is cut there, and the
/// result is false.
bool ReplacePlaceholder(std::string& value, const std::string& placeholder,
                        const std::string& replacement, size_t limit = kMaxVariableValue);
/// Resolves a value with the first `known` pairs of the table, in table
/// order; false when it had to be cut at `limit`.
bool ResolvePlaceholders(std::string& value, const SubstitutionTable& table, size_t known,
                         size_t limit = kMaxVariableValue);
/// Path of the executable of a registered automation server, or empty.
std::string LookupLocalServer(MachineFacts& machine, const std::string& program_id);
/// Writes every environment variable to the run log (when it is on).
void LogEnvironment(ProcessEnvironment& process, RunLog& log);

/// Expands %NAME% references in place against the process environment; logs
/// message 103 when a "%" is left. Empty values and values without "%" stay.
void ExpandEnvironment(ProcessEnvironment& process, std::string& value, LogSink& log);

#endif  // PAGETRIX_CONFIG_ENVIRONMENT_H_
