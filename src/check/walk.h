/// One walk of the configuration: the generator's own Generate over a
/// dry-run file layer, listened to. What the walk tells becomes rows of the
/// matrix and findings, kept across the walks of one check.
#ifndef PAGETRIX_CHECK_WALK_H_
#define PAGETRIX_CHECK_WALK_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "check/check.h"
#include "check/detectors.h"
#include "check/findings.h"
#include "gen/gen_observer.h"

class CIniFile;
class DryRunPlatform;
class DryRunReads;
class Platform;
struct LinkFilter;

/// A link entry's place: page, command file and line; hashed, as every
/// link of every walk looks its row up.
struct EntryPlace {
  std::string page;
  std::string file;
  size_t line = 0;
  bool operator==(const EntryPlace&) const = default;
};
struct EntryPlaceHash {
  size_t operator()(const EntryPlace& place) const {
    const size_t a = std::hash<std::string>()(place.page);
    const size_t b = std::hash<std::string>()(place.file);
    return (a * 31 + b) * 1000003u ^ place.line;
  }
};

/// What the walks of one check have learnt together.
struct CheckState {
  FindingList findings;
  std::vector<MatrixRow> rows;
  /// Rows by page, command file and line.
  std::unordered_map<EntryPlace, size_t, EntryPlaceHash> row_index;
  /// Files whose text has been looked at, and link entries whose fields have.
  std::set<std::string> texts_checked;
  std::unordered_set<EntryPlace, EntryPlaceHash> links_checked;
  std::set<std::tuple<std::string, int>> tree_settings_checked;
  /// Placeholders found in another section's inserted text: file, record, host.
  std::set<std::tuple<std::string, int, int>> inserted_checked;
  /// Per row, why it was hidden, by rule (LinkVerdict), over all walks.
  std::vector<std::uint32_t> hidden_by;
  /// [Nicht_Kopieren] entries: line, text, and whether one excluded a file.
  struct NegativeEntry {
    size_t line = 0;
    std::string text;
    bool used = false;
  };
  std::map<int, NegativeEntry> negative_entries;
  bool copy_phase_reached = false;
  /// Page command files filled in some walk, and their placeholder records
  /// some walk replaced.
  struct PageFile {
    const CIniFile* last = nullptr;     // valid only during the walk that set it
    std::vector<std::string> sections;  // placeholder sections, by record
    std::vector<size_t> section_lines;
    std::vector<bool> reached;
    bool filled = false;
    bool sound = false;
    size_t sound_line = 0;
    std::string template_file;
  };
  std::map<std::string, PageFile> page_files;
  /// Templates as read, with the spots of their lines.
  struct Template {
    std::string bytes;
    std::unique_ptr<TemplateSpots> spots;
  };
  std::map<std::string, Template> templates;
};

/// What one walk did.
struct WalkOutcome {
  GenResult result{};
  std::string start_page;
  int message = 0;  ///< the message of the step that stopped it
  std::string message_text;
  std::vector<std::string> files;    ///< in the output folder afterwards
  std::vector<std::uint32_t> shown;  ///< per row of CheckState::rows
  /// The distinct rights and flags of the link entries it met: another
  /// filter that decides them all alike walks the same way.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> decided;
  bool rejected_lines = false;  ///< a command file was refused for a line without "="
};

/// Runs Generate for `command_file` with `filter` over a dry-run layer on
/// `real`, into the output folder at `folder` (chosen by the run); `walk`
/// numbers the findings it adds. A `lenient` walk takes command files with
/// rejected lines as read, to find what a run meets once they are mended;
/// it stands for no run.
WalkOutcome RunWalk(Platform& real, const CIniFile& main_config, const std::string& command_file,
                    const LinkFilter& filter, const std::string& folder, DryRunReads& reads,
                    size_t walk, bool lenient, CheckState& state);

#endif  // PAGETRIX_CHECK_WALK_H_
