// Saved in Windows-1252: the texts below are the report's own, byte for byte.
#include "check/check.h"

#include <algorithm>
#include <functional>
#include <map>
#include <unordered_map>
#include <utility>

#include "base/string_printf.h"
#include "base/text.h"
#include "check/text_findings.h"
#include "check/walk.h"
#include "config/config_names.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "gen/gen_html.h"
#include "gen/output_folder.h"
#include "platform/dry_run.h"
#include "platform/platform.h"

namespace {

const char kUnlistedServer[] = "(keiner)";

// The distinct keys of a flag section in file order, spelled as first
// written: a run looks each up with GetValue, so the first of equal keys wins.
std::vector<std::string> ListedNames(const CIniFile& config, std::string_view section) {
  std::vector<std::string> names;
  for (int s = 0; s < config.GetSectionCount(); ++s) {
    if (!EqualsNoCaseAscii(config.SectionName(s), section)) continue;
    std::string_view key, value;
    for (int e = 0; config.RecordEntry(s, e, key, value); ++e) {
      bool seen = false;
      for (const std::string& name : names) seen = seen || EqualsNoCaseAscii(name, key);
      if (!seen) names.emplace_back(key);
    }
  }
  return names;
}

bool Listed(const std::vector<std::string>& names, std::string_view name) {
  for (const std::string& listed : names) {
    if (EqualsNoCaseAscii(listed, name)) return true;
  }
  return false;
}

// The same decision on every rights and flags pair the walk met: a filter
// that agrees walks the same way.
bool DecidesAlike(const LinkFilter& a, const LinkFilter& b,
                  const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs) {
  for (const auto& [rights, flags] : pairs) {
    if (IsLinkAllowed(a, rights, flags) != IsLinkAllowed(b, rights, flags)) return false;
  }
  return true;
}

bool SameFilter(const LinkFilter& a, const LinkFilter& b) {
  return a.rights_flags == b.rights_flags && a.server_flags == b.server_flags &&
         a.start_drive_type == b.start_drive_type;
}

class Checker {
 public:
  Checker(Platform& real, const CheckInput& input)
      : input_(input), main_(*input.main_config), real_(real) {}

  CheckReport Run();

 private:
  // A user on a server from a drive, as a run with USER=, SERVER= and CD.
  struct Column {
    MatrixColumn info;
    LinkFilter filter;
    size_t place = 0;  // its server and drive
    size_t walk = 0;
  };
  // A server and a drive: what the environment of a run depends on.
  struct Place {
    std::string server;
    bool cd = false;
    size_t environment = 0;
  };
  struct Environment {
    std::vector<std::string> block;
    std::string command_file;
  };

  void CheckMainConfig();
  void CheckEnvironmentFile();
  void MakeColumns();
  void PreparePlaces();
  void WalkAll();
  void MakeGroups();
  void ReportWhatRunsLeave();
  void RestoreOwnRun();

  const CheckInput& input_;
  const CIniFile& main_;
  Platform& real_;
  DryRunReads reads_;
  CheckState state_;
  CheckReport report_;
  std::vector<std::string> users_;
  std::vector<bool> users_listed_;
  std::vector<std::string> servers_;
  std::vector<bool> servers_listed_;
  std::vector<bool> drives_;  // cd per drive column
  std::vector<Column> columns_;
  std::vector<Place> places_;
  std::vector<Environment> environments_;
  std::unordered_map<std::string, size_t> environment_index_;
  std::vector<WalkOutcome> walks_;
  std::vector<std::string> own_block_;
};

void Checker::CheckMainConfig() {
  const std::string& path = input_.main_config_path;
  const int loaded = input_.main_config_result;
  if (loaded == 0 || loaded == 4 || loaded == 2) {
    CheckIniText(main_, IniRole::kMainConfig, state_.findings);
    CheckMainConfigValues(main_, state_.findings);
  }
  if (loaded != 0 && loaded != 4) {
    std::string why;
    switch (real_.Inspect(path, Links::kFollow).kind) {
      case PathKind::kMissing:
        why = "Die Hauptkonfiguration fehlt";
        break;
      case PathKind::kFolder:
        why = "Der Pfad der Hauptkonfiguration ist ein Ordner";
        break;
      default:
        why = "Die Hauptkonfiguration kann nicht gelesen werden";
    }
    state_.findings.Add(Severity::kError, path, 0, "", "",
                        why +
                            ": ein Lauf liest dann keine Einstellung: kein Laufprotokoll, "
                            "keine Rechte, kein Startprogramm.",
                        "Den Pfad prüfen (/INI=) oder die Datei anlegen.");
  }
  std::string_view log_path;
  if (main_.FindValue(names::kProtokolldatei, names::kName, log_path) &&
      log_path.find('%') != std::string_view::npos) {
    state_.findings.Add(Severity::kWarning, path, static_cast<size_t>(main_.LineOf(log_path)),
                        names::kProtokolldatei, names::kName,
                        "Der Pfad des Laufprotokolls wird nicht aufgelöst: ein Lauf öffnet die "
                        "Datei wörtlich als " +
                            Quote(log_path) +
                            ", den Ordner gibt es meist nicht, und es entsteht kein Protokoll.",
                        "Einen festen Pfad ohne %...% angeben, z. B. C:\\Temp\\Pagetrix.log.");
  }
  // The run's own rule, asked before anything is written.
  const std::string refusal = RunLogRefusal(real_, std::string(log_path));
  if (!refusal.empty()) {
    state_.findings.Add(Severity::kWarning, path, static_cast<size_t>(main_.LineOf(log_path)),
                        names::kProtokolldatei, names::kName,
                        refusal + " Ein Lauf schreibt kein Laufprotokoll.",
                        "Einen eigenen Dateinamen für das Laufprotokoll angeben.");
  }
}

void Checker::CheckEnvironmentFile() {
  const std::string& path = input_.identity.environment_file;
  if (path.empty()) return;
  CIniFile environment;
  const int loaded = environment.Load(real_, path);
  if (loaded == 0 || loaded == 4 || loaded == 2) {
    CheckIniText(environment, IniRole::kEnvironment, state_.findings);
    return;
  }
  state_.findings.Add(Severity::kWarning, path, 0, "", "",
                      "Die Umgebungsdatei kann nicht gelesen werden: ein Lauf setzt keine "
                      "Variable aus ihr.",
                      "Den Pfad prüfen (/ENV=) oder die Datei anlegen.");
}

void Checker::MakeColumns() {
  const RunIdentity& identity = input_.identity;
  const std::vector<std::string> listed_users = ListedNames(main_, names::kRechte);
  const std::vector<std::string> listed_servers = ListedNames(main_, names::kServer);
  if (!identity.user.empty()) {
    users_ = {identity.user};
  } else {
    // The same name on every machine: reports of one configuration compare.
    users_ = listed_users;
    users_.push_back(kUnlistedUserName);
  }
  for (const std::string& user : users_) users_listed_.push_back(Listed(listed_users, user));
  StartLocation location;
  DetermineStartLocation(real_, identity.server, location);
  if (!identity.server.empty()) {
    servers_ = {identity.server};
  } else {
    servers_ = listed_servers;
    const std::string& own = location.current_server;
    servers_.push_back(!Listed(listed_servers, own) ? own : kUnlistedServer);
  }
  for (const std::string& server : servers_)
    servers_listed_.push_back(Listed(listed_servers, server));
  drives_ = identity.as_cd || location.drive_type == DriveType::kCdRom
                ? std::vector<bool>{true}
                : std::vector<bool>{false, true};
}

// The set-up of every server and drive: the environment a run there has.
void Checker::PreparePlaces() {
  own_block_ = real_.GetEnvironmentBlock();
  RunLog off{real_};  // no path: it writes nothing
  for (size_t s = 0; s < servers_.size(); ++s) {
    const std::string& server = servers_[s];
    for (bool cd : drives_) {
      real_.SetEnvironmentBlock(own_block_);
      DryRunPlatform dry(real_, reads_);
      RunIdentity identity = input_.identity;
      identity.user = users_.front();
      identity.server = server;
      identity.as_cd = cd;
      PreparedRun run;
      // The run's folder stays on the real platform: set-up only names it and
      // puts the name into the environment, which the dry layer shares.
      PrepareRun(dry, main_, identity, input_.command_file, input_.call_text, off, *input_.folder,
                 run);
      Environment environment{real_.GetEnvironmentBlock(), run.command_file};
      // Looked up by hash: with hundreds of servers, each block is large.
      std::string key = environment.command_file;
      for (const std::string& entry : environment.block) key.append(1, '\0').append(entry);
      const auto [known, added] = environment_index_.emplace(key, environments_.size());
      const size_t index = known->second;
      if (added) environments_.push_back(std::move(environment));
      places_.push_back(Place{server, cd, index});
      for (size_t u = 0; u < users_.size(); ++u) {
        Column column;
        column.info.user = users_[u];
        column.info.user_listed = users_listed_[u];
        column.info.server = server;
        column.info.server_listed = servers_listed_[s];
        column.info.cd = cd;
        std::string text;
        column.filter = run.filter;
        column.filter.rights_flags = UserRights(main_, users_[u], text);
        column.info.rights_flags = column.filter.rights_flags;
        column.info.server_flags = column.filter.server_flags;
        column.place = places_.size() - 1;
        columns_.push_back(std::move(column));
      }
    }
  }
}

// Walks once for each way of running: columns whose filters decide every
// link entry a walk met alike share that walk.
void Checker::WalkAll() {
  for (size_t e = 0; e < environments_.size(); ++e) {
    std::vector<size_t> pending;
    for (size_t c = 0; c < columns_.size(); ++c) {
      if (places_[columns_[c].place].environment == e) pending.push_back(c);
    }
    if (pending.empty()) continue;
    real_.SetEnvironmentBlock(environments_[e].block);
    while (!pending.empty()) {
      const LinkFilter filter = columns_[pending.front()].filter;
      const size_t walk = walks_.size();
      walks_.push_back(RunWalk(real_, main_, environments_[e].command_file, filter,
                               input_.folder->path(), reads_, walk, /*lenient=*/false, state_));
      const WalkOutcome& outcome = walks_.back();
      std::vector<size_t> rest;
      for (size_t c : pending) {
        const LinkFilter& other = columns_[c].filter;
        if (SameFilter(other, filter) || DecidesAlike(other, filter, outcome.decided)) {
          columns_[c].walk = walk;
        } else {
          rest.push_back(c);
        }
      }
      pending.swap(rest);
    }
  }
  // Like a compiler after an error: what a run meets once the rejected
  // lines are mended, from one more walk that takes such files as read.
  bool rejected = false;
  for (const WalkOutcome& walk : walks_) rejected = rejected || walk.rejected_lines;
  if (!rejected || columns_.empty()) return;
  const Column& first = columns_.front();
  const Environment& environment = environments_[places_[first.place].environment];
  real_.SetEnvironmentBlock(environment.block);
  RunWalk(real_, main_, environment.command_file, first.filter, input_.folder->path(), reads_,
          FindingList::kLenientWalk, /*lenient=*/true, state_);
}

void Checker::MakeGroups() {
  std::vector<size_t> group_of_walk(walks_.size());
  std::unordered_map<std::string, size_t> group_index;
  for (size_t w = 0; w < walks_.size(); ++w) {
    WalkOutcome& walk = walks_[w];
    walk.shown.resize(state_.rows.size(), 0);
    RunGroup group;
    group.result = static_cast<int>(walk.result);
    group.exit_code = RunExitCode(walk.result, walk.start_page);
    group.start_page_made = !walk.start_page.empty();
    group.start_page = walk.start_page;
    group.message = walk.message;
    group.message_text = walk.message_text;
    group.files = walk.files;
    group.shown = walk.shown;
    // Walks that did the same are one group; found by what they did.
    std::string key =
        StringPrintf("%d %d %d ", group.result, group.start_page_made ? 1 : 0, group.message);
    for (const std::string& file : group.files) key.append(file).push_back('\0');
    key.append(reinterpret_cast<const char*>(group.shown.data()),
               group.shown.size() * sizeof(group.shown[0]));
    const auto [known, added] = group_index.emplace(std::move(key), report_.groups.size());
    const size_t g = known->second;
    if (added) report_.groups.push_back(std::move(group));
    group_of_walk[w] = g;
    if (walk.start_page.empty()) {
      state_.findings.Add(
          Severity::kError, input_.command_file, 0, "", "",
          StringPrintf("Ein Lauf erzeugt keine Startseite (Ergebnis %d, Rückgabewert %d): ",
                       static_cast<int>(walk.result), RunExitCode(walk.result, walk.start_page)) +
              (walk.message_text.empty() ? std::string("siehe die Fundstellen.")
                                         : walk.message_text),
          "Die übrigen Fehler beheben; ein Lauf startet dann das Startprogramm.", w);
    }
  }
  for (size_t c = 0; c < columns_.size(); ++c) {
    Column& column = columns_[c];
    column.info.group = group_of_walk[column.walk];
    report_.groups[column.info.group].columns.push_back(c);
    report_.columns.push_back(column.info);
  }
  ReportWhatRunsLeave();
  report_.findings = state_.findings.Take(group_of_walk, report_.groups.size());
}

// What no single walk tells: sections never filled, entries of the negative
// list that exclude nothing, links no run shows.
void Checker::ReportWhatRunsLeave() {
  for (const auto& [file, page] : state_.page_files) {
    if (!page.filled) continue;
    bool any_placeholder = false;
    for (size_t r = 0; r < page.sections.size(); ++r) {
      if (!IsPlaceholderSection(page.sections[r])) continue;
      any_placeholder = true;
      if (page.sound || page.reached[r]) continue;
      state_.findings.Add(Severity::kWarning, file, page.section_lines[r], page.sections[r], "",
                          "Ein Lauf setzt die Links dieser Sektion nie ein: ihr Name " +
                              Quote(page.sections[r]) + " wird in der Vorlage " +
                              Quote(page.template_file) +
                              " nicht gefunden, auch nicht in eingesetztem Text.",
                          "Den Sektionsnamen an der gewünschten Stelle in die Vorlage "
                          "schreiben.");
    }
    if (page.sound && any_placeholder) {
      state_.findings.Add(Severity::kWarning, file, page.sound_line, names::kVorlage, names::kSound,
                          "Mit Sound ersetzt ein Lauf keinen Platzhalter dieser Seite: die Links "
                          "fehlen, die Sektionsnamen bleiben als Text stehen.",
                          "Sound entfernen, wenn die Seite Links zeigen soll.");
    }
  }
  if (state_.copy_phase_reached) {
    for (const auto& [index, entry] : state_.negative_entries) {
      if (entry.used || HasWildcard(entry.text)) continue;
      state_.findings.Add(Severity::kWarning, input_.main_config_path, entry.line,
                          names::kNichtKopieren, "",
                          "Der Eintrag " + Quote(entry.text) +
                              " schließt keine Datei aus: ein Lauf vergleicht ihn mit dem vollen "
                              "Pfad jeder Datei der Vorlagenordner, und keiner lautet so.",
                          "Den vollen Pfad angeben, wie ihn der Vorlagenordner ergibt.");
    }
  }
  for (size_t r = 0; r < state_.rows.size(); ++r) {
    bool shown = false;
    bool read_where_made = false;
    for (const RunGroup& group : report_.groups) {
      if (!group.start_page_made) continue;
      read_where_made = true;
      shown = shown || group.shown[r] > 0;
    }
    if (shown) continue;
    MatrixRow& row = state_.rows[r];
    if (!read_where_made) {
      row.never_shown = "kein Lauf erzeugt eine Startseite";
      continue;
    }
    const std::uint32_t hidden = state_.hidden_by[r];
    std::vector<std::string> why;
    if (hidden & (1u << static_cast<unsigned>(LinkVerdict::kNoGroup)))
      why.push_back("kein Benutzer hat ein Recht dafür");
    if (hidden & (1u << static_cast<unsigned>(LinkVerdict::kBarred))) why.push_back("gesperrt");
    if (hidden & (1u << static_cast<unsigned>(LinkVerdict::kServer)))
      why.push_back("vom Server gesperrt");
    if (hidden & (1u << static_cast<unsigned>(LinkVerdict::kNotFromCd)))
      why.push_back("nicht von CD");
    std::string text;
    for (const std::string& reason : why) text += (text.empty() ? "" : ", ") + reason;
    row.never_shown = text.empty() ? "ein Lauf mit Startseite liest den Eintrag nicht" : text;
  }
  report_.rows = state_.rows;
}

// The check's own process ends as the run of its own identity would leave
// its environment: the start program on the report inherits it.
void Checker::RestoreOwnRun() {
  if (own_block_.empty()) return;
  real_.SetEnvironmentBlock(own_block_);
  RunLog off{real_};  // no path: it writes nothing
  DryRunPlatform dry(real_, reads_);
  PreparedRun run;
  PrepareRun(dry, main_, input_.identity, input_.command_file, input_.call_text, off,
             *input_.folder, run);
}

CheckReport Checker::Run() {
  report_.main_config = input_.main_config_path;
  report_.command_file = input_.command_file;
  CheckMainConfig();
  CheckEnvironmentFile();
  if (input_.command_file.empty()) {
    state_.findings.Add(Severity::kError, input_.main_config_path, 0, names::kStartVorlage, "",
                        "Keine Kommandodatei: weder die Befehlszeile noch [StartVorlage] "
                        "StartVorlage nennt eine. Ein Lauf zeigt nur das Hilfefenster und "
                        "erzeugt keine Seite.",
                        "Die Kommandodatei auf der Befehlszeile oder in [StartVorlage] "
                        "angeben.");
    report_.findings = state_.findings.Take({}, 0);
    return report_;
  }
  MakeColumns();
  PreparePlaces();
  WalkAll();
  MakeGroups();
  RestoreOwnRun();
  return report_;
}

}  // namespace

size_t CheckReport::Count(Severity severity) const {
  return static_cast<size_t>(std::count_if(
      findings.begin(), findings.end(), [&](const Finding& f) { return f.severity == severity; }));
}

int CheckReport::ExitCode() const {
  if (Count(Severity::kError) > 0) return 2;
  return findings.empty() ? 0 : 1;
}

CheckReport CheckConfiguration(Platform& real, const CheckInput& input) {
  return Checker(real, input).Run();
}
