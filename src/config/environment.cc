#include "config/environment.h"

#include <algorithm>

#include <iterator>
#include <string_view>

#include "base/log_sink.h"
#include "base/string_printf.h"
#include "base/text.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/util.h"
#include "platform/env_block.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

// The office applications whose executables are published, in table order.
const char* const kOfficePrograms[] = {
    "Word.Application",       "Excel.Application",   "Access.Application",
    "PowerPoint.Application", "Outlook.Application", "Frontpage.Application",
    "Publisher.Application",
};
constexpr size_t kOfficeTableStart = 2;  // after %StartLW% and %StartServer%

// The first %-token of a text, both percent signs included; empty if none.
std::string_view FirstToken(std::string_view text) {
  size_t first = text.find('%');
  if (first == std::string_view::npos) return {};
  size_t second = text.find('%', first + 1);
  if (second == std::string_view::npos) return {};
  return text.substr(first, second - first + 1);
}

}  // namespace

std::string_view SectionForDriveType(DriveType drive_type) {
  switch (drive_type) {
    case DriveType::kRemovable:
      return names::kEnvironmentRemovable;
    case DriveType::kFixed:
      return names::kEnvironmentFixed;
    case DriveType::kRemote:
      return names::kEnvironmentRemote;
    case DriveType::kCdRom:
      return names::kEnvironmentCdRom;
    case DriveType::kRamDisk:
      return names::kEnvironmentRamDisk;
    default:
      return names::kEnvironment;
  }
}

void DetermineStartLocation(Platform& platform, const std::string& server_override,
                            StartLocation& location) {
  CUtil parts;
  parts.SplitPath(platform, platform.GetProgramPath());

  location.start_drive = parts.drive;
  location.current_server = parts.server_name;
  if (location.start_drive.empty()) {
    // A network path (or, without drive letters, any path): its directory.
    std::string directory = parts.directory;
    while (!directory.empty() && IsPathSeparator(directory.back())) directory.pop_back();
    location.start_drive = directory;
  }
  if (location.current_server.empty()) location.current_server = location.start_drive;

  location.drive_type = platform.QueryDriveType(location.start_drive);
  location.environment_section = SectionForDriveType(location.drive_type);

  // The override names the server only; the drive keeps its real type.
  if (!server_override.empty()) location.current_server = server_override;
}

void ApplyEnvironmentFile(Platform& platform, const std::string& path, StartLocation& location,
                          RunLog& log) {
  CIniFile reader;
  reader.Load(platform, path);  // a missing file acts as an empty one

  SubstitutionTable table;
  table.Add("%StartLW%", location.start_drive);
  table.Add("%StartServer%", location.current_server);
  for (const char* program : kOfficePrograms)
    table.Add(std::string("%") + program + "%", LookupLocalServer(platform, program));

  VariableLists variables;
  ApplyServerSection(reader, location, table, variables, log);
  // The server section only feeds the table; it sets no variables itself.
  variables.names.clear();
  variables.values.clear();

  bool found = false;
  for (int i = 0; i < reader.GetSectionCount() && !found; ++i) {
    std::string name;
    reader.GetSection(i, name);
    found = EqualsNoCaseAscii(name, location.environment_section);
  }
  if (!found) location.environment_section = names::kEnvironment;

  log.Log("");
  log.Log(Message(IDS_ENV_SECTION_USED, path));
  ApplyEnvironmentSection(reader, location.environment_section, table, variables, log);

  // Set after the section's own variables, so the registry has the last word.
  for (size_t i = kOfficeTableStart; i < kOfficeTableStart + std::size(kOfficePrograms); ++i) {
    const std::string& placeholder = table[i].first;
    variables.names.push_back(placeholder.substr(1, placeholder.size() - 2));
    variables.values.push_back(table[i].second);
  }

  // All at once: one call per variable would scan the environment each time.
  std::vector<std::pair<std::string, std::string>> assignments;
  for (size_t i = 0; i < variables.names.size(); ++i)
    assignments.emplace_back(variables.names[i], variables.values[i]);
  SetEnvVars(platform, assignments);
  log.Log("");
}

void ApplyServerSection(const CIniFile& reader, const StartLocation& location,
                        SubstitutionTable& table, VariableLists& variables, RunLog& log) {
  const std::string& server = location.current_server;
  std::string section = (server.size() == 2 && server[1] == ':')
                            ? std::string(names::kLokal)
                            : StringPrintf(names::kServerSectionFormat, server.c_str());
  ApplyEnvironmentSection(reader, section, table, variables, log);
}

void ApplyEnvironmentSection(const CIniFile& reader, const std::string& section,
                             SubstitutionTable& table, VariableLists& variables, RunLog& log) {
  log.Log(StringPrintf("[%s]", section.c_str()));
  std::string name, value;
  for (int index = 0; reader.GetEntry(section, index, name, value); ++index) {
    // What is left of the total, and never more than one variable holds.
    const size_t left = kMaxEnvironmentTotal - std::min(kMaxEnvironmentTotal, table.ValueBytes());
    // Only the pairs known before this entry; the table grows below.
    if (!ResolvePlaceholders(value, table, table.size(), std::min(kMaxVariableValue, left)))
      log.LogFailure(Message(IDS_UNRESOLVED_VARIABLE, name));
    variables.names.push_back(name);
    variables.values.push_back(value);
    table.Add("%" + name + "%", value);
    log.Log(StringPrintf("%s=%s", name.c_str(), value.c_str()));
  }
}

void SubstitutionTable::Add(std::string placeholder, std::string value) {
  value_bytes_ += value.size();
  positions_[ToUpperAscii(placeholder)].push_back(pairs_.size());
  pairs_.emplace_back(std::move(placeholder), std::move(value));
}

size_t SubstitutionTable::Find(std::string_view token, size_t from, size_t end) const {
  auto found = positions_.find(ToUpperAscii(token));
  if (found == positions_.end()) return pairs_.size();
  const std::vector<size_t>& positions = found->second;
  auto at = std::lower_bound(positions.begin(), positions.end(), from);
  return at != positions.end() && *at < end ? *at : pairs_.size();
}

bool ResolvePlaceholders(std::string& value, const SubstitutionTable& table, size_t known,
                         size_t limit) {
  // A value as written may be beyond the limit already.
  if (value.size() > limit) {
    value.resize(limit);
    return false;
  }
  // Walking every pair in order would try each of them on the value; but a
  // pair changes the value only when its placeholder is the leftmost token,
  // so jump straight to the next pair that names that token.
  for (size_t next = 0; next < known;) {
    std::string_view token = FirstToken(value);
    if (token.empty()) return true;
    size_t i = table.Find(token, next, known);
    if (i == table.size()) return true;
    if (!ReplacePlaceholder(value, table[i].first, table[i].second, limit)) return false;
    next = i + 1;
  }
  return true;
}

bool ReplacePlaceholder(std::string& value, const std::string& placeholder,
                        const std::string& replacement, size_t limit) {
  // A replacement whose first %-token is its own placeholder would be replaced
  // again without end; then the inserted text is skipped instead.
  const bool skip_inserted = EqualsNoCaseAscii(FirstToken(replacement), placeholder);
  // Everything before `from` is free of "%" or is inserted text.
  size_t from = 0;
  while (true) {
    size_t first = value.find('%', from);
    if (first == std::string::npos || first + 1 >= value.size()) return true;
    size_t second = value.find('%', first + 1);
    if (second == std::string::npos) return true;
    size_t length = second - first + 1;
    if (!EqualsNoCaseAscii(std::string_view(value).substr(first, length), placeholder)) return true;
    if (value.size() - length + replacement.size() > limit) {
      // Doubling values would otherwise fill the memory within a few dozen lines.
      const size_t kept = value.size() - length;
      value.replace(first, length, replacement.substr(0, kept < limit ? limit - kept : 0));
      value.resize(limit);
      return false;
    }
    value.replace(first, length, replacement);
    from = skip_inserted ? first + replacement.size() : first;
  }
}

std::string LookupLocalServer(MachineFacts& machine, const std::string& program_id) {
  std::string class_id;
  if (!machine.ReadClassesRootDefault(program_id + "\\CLSID", &class_id)) return std::string();
  std::string command;
  if (!machine.ReadClassesRootDefault("CLSID\\" + class_id + "\\LocalServer32", &command))
    return std::string();

  size_t begin = 0;
  while (begin < command.size() && IsCSpace(command[begin])) ++begin;
  std::string result = command.substr(begin);
  // "path" /automation: keep the path, quotes and all.
  size_t slash = result.find('/');
  if (slash != std::string::npos) {
    result.erase(slash);
    while (!result.empty() && IsCSpace(result.back())) result.pop_back();
  }
  return result;
}

void LogEnvironment(ProcessEnvironment& process, RunLog& log) {
  if (!log.IsEnabled()) return;
  log.Log(Message(IDS_ENV_BEGIN));
  for (const std::string& entry : process.GetEnvironmentBlock()) log.Log(entry);
  log.Log(Message(IDS_ENV_END));
  log.Log("");
}

void ExpandEnvironment(ProcessEnvironment& process, std::string& value, LogSink& log) {
  if (value.empty() || value.find('%') == std::string::npos) return;
  // No fixed buffer: a long expansion is kept whole.
  value = process.ExpandEnvVars(value);
  // A result the system cut is as unresolved as one that kept a "%".
  const bool cut = kExpansionLimit != 0 && value.size() >= kExpansionLimit;
  if (cut || value.find('%') != std::string::npos)
    log.LogFailure(Message(IDS_UNRESOLVED_VARIABLE, value));
}
