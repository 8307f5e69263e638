/// The page generator: from the command file to the written pages and copied files.
#ifndef PAGETRIX_GEN_GEN_HTML_H_
#define PAGETRIX_GEN_GEN_HTML_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gen/gen_observer.h"
#include "gen/link_entry.h"

class CIniFile;
struct CIniSectionRef;
class TextSink;
class RightsReport;
class RunLog;
class GenObserver;
class OutputFolder;
class Platform;

/// Results of the generator's operations; the numbers are the run's result
/// codes and never change.
enum class GenResult : int {
  kOk = 0,
  kCommandFileError = 1,   ///< the command file cannot be loaded completely
  kNoTemplate = 2,         ///< a page command file names no template
  kNoOutputDirectory = 3,  ///< the output directory cannot be created
  kCopyFailed = 4,         ///< a file could not be copied
  kPageListError = 5,      ///< a [Seiten] entry lacks one of its two fields
  kNoFrameSet = 6,         ///< no frameset is configured (not an error of the run)
  kWriteFailed = 7,        ///< a page could not be read, opened or written
  kPageMissing = 9,        ///< the start page, or a page its frames show, was not made
};

/// The placeholders of a page: the sections whose names are searched in its
/// template lines, in file order.
struct Placeholders {
  std::vector<std::string> upper_names;  ///< as the upper-cased lines are searched
  std::vector<int> records;              ///< the section record of each name
};

class CGenHtml {
 public:
  /// Everything the generator reads of the run is handed in here; the run
  /// owns it, and it must outlive the generator. Files, folders and the
  /// environment are those of `platform`. The output folder is the run's
  /// (its lock outlives the generator), or the generator's own.
  /// `observer` hears every step of Generate.
  CGenHtml(Platform& platform, RunLog& log, const CIniFile& main_config, const LinkFilter& filter,
           RightsReport& rights_report);
  CGenHtml(Platform& platform, RunLog& log, const CIniFile& main_config, const LinkFilter& filter,
           RightsReport& rights_report, OutputFolder& folder, GenObserver* observer);
  virtual ~CGenHtml();
  CGenHtml(const CGenHtml&) = delete;
  CGenHtml& operator=(const CGenHtml&) = delete;

  // Output directory.
  /// Chooses this run's output directory and publishes it as PagetrixAusgabePath.
  void InitOutputDirectory();
  void GetOutputBaseDirectory(std::string& path) const;
  /// Deletes output directories older than [Pagetrix] LoeschStd hours (24 by default).
  void DeleteOldOutputDirectories();
  /// Creates the output directory; `prefix` is its path and a separator.
  GenResult CreateOutputDirectory(std::string& prefix);
  void DeleteDirectoryTree(const std::string& path);
  const std::string& OutputDirectoryPath() const;

  /// Generates every page of the run; fills the start page path unless it
  /// stops early.
  GenResult Generate(const std::string& command_file, std::string& start_page);
  /// Takes a command file with lines the reader rejected (a line without
  /// "=") as loaded: what a run would do once those lines are mended.
  void AcceptRejectedLines() { accept_rejected_lines_ = true; }

  // Pages.
  /// Writes the frameset page: kOk, kNoFrameSet or kWriteFailed.
  GenResult WriteFrameSet(const CIniFile& commands, const std::string& path);
  /// Writes one page from its template: kOk, kCopyFailed (copy of an
  /// unchanged template) or kWriteFailed (a file failed to open, read or write).
  /// With `reuse_template`, a template read for an earlier page of the same
  /// Generate is not read again.
  /// Without `writable` the page's name is refused: nothing is opened and
  /// the page fails as one that cannot be written.
  GenResult FillTemplate(const CIniFile& commands, const std::string& template_file,
                         const std::string& output_file, bool reuse_template = false,
                         bool writable = true);
  /// Replaces the placeholder of `section` at `pos` of `line` by the section's
  /// link table. `section` is the name as the command file spells it; the
  /// placeholder has its length. Always kOk.
  GenResult WriteLinkTable(const CIniFile& commands, std::string& line, const std::string& section,
                           size_t pos);
  /// The same with the section's tree menu script block. Always kOk.
  GenResult WriteTreeMenu(const CIniFile& commands, std::string& line, const std::string& section,
                          size_t pos);
  /// Writes the link table of `section` into `sink` as it is made; nothing
  /// when no row is shown.
  void WriteLinkTableTo(const CIniFile& commands, CIniSectionRef section, TextSink& sink);
  /// Writes the tree menu script block of `section` into `sink` as it is
  /// made; nothing when no entry is shown.
  void WriteTreeMenuTo(const CIniFile& commands, CIniSectionRef section, TextSink& sink);

  // Link entries.
  /// Whether the run's user may see a link with these rights and flag bits.
  bool IsLinkAllowed(std::uint32_t rights, std::uint32_t flags) const;
  /// Splits, logs and filters the link entry `value` read from `commands`;
  /// records it in the rights report while the run log is on. True when the
  /// entry is shown; `entry` then holds its expanded fields.
  bool ProcessLinkEntry(const CIniFile& commands, std::string_view value, LinkEntry& entry);

  // File copying.
  void AddToNegativeList(const std::string& path);
  bool IsOnNegativeList(const std::string& path) const;
  /// Copies the plain files of the template directories beside the pages:
  /// kOk or kCopyFailed.
  GenResult CopyTemplateFiles(const std::vector<std::string>& directories,
                              const std::string& prefix);
  /// Copies the [Kopieren] entries of the main configuration file; the
  /// result (kOk or kCopyFailed) is that of the last entry.
  GenResult CopyListEntries();
  /// Copies one file with messages 224, 212 and 207; 0 or 4.
  int CopyFileLogged(const std::string& from, const std::string& to, bool fail_if_exists,
                     CopyPhase phase);

 private:
  /// A page of the run: its command file and the name of the page it makes.
  struct Page {
    std::string command_file;
    std::string output_name;
  };

  // The steps of Generate, in their order.
  GenResult ReadCommandFile(CIniFile& commands, const std::string& command_file,
                            std::vector<Page>& pages);
  void FillNegativeList();
  GenResult ReadPageList(const CIniFile& commands, const std::string& command_file,
                         std::vector<Page>& pages);
  GenResult PrepareOutputDirectory(const CIniFile& commands, std::string& prefix,
                                   std::string& start);
  GenResult GeneratePages(CIniFile& commands, const std::string& command_file,
                          std::vector<Page>& pages, const std::string& prefix,
                          std::vector<std::string>& template_directories);
  /// `commands_loaded`: `commands` holds the page's command file already.
  GenResult GeneratePage(CIniFile& commands, const Page& page, const std::string& prefix,
                         std::vector<std::string>& template_directories, bool commands_loaded);
  GenResult CopyFiles(const std::vector<std::string>& template_directories,
                      const std::string& prefix);

  /// Writes the block of one placeholder occurrence, the section of `record`:
  /// its tree menu or link table.
  void WritePlaceholder(const CIniFile& commands, int record, TextSink& sink,
                        PlaceholderEvent* event);
  /// The settings of a section a placeholder names, read in one walk.
  struct TableSettings {
    static constexpr int kCount = 6;
    std::string_view values[kCount];
    std::uint32_t found = 0;  // bit k: values[k] was set
  };
  static void ReadTableSettings(const CIniFile& commands, CIniSectionRef section,
                                TableSettings& settings);
  static bool IsTreeMenu(const TableSettings& settings);
  void WriteLinkTableTo(const CIniFile& commands, CIniSectionRef section,
                        const TableSettings& settings, TextSink& sink);

  void Log(const std::string& text);
  /// Logs the failure message `id` (its text `text`) and tells the observer.
  void Fail(GenResult result, int id, const std::string& text, bool stops);
  /// Whether every page the start program is to show was made.
  bool ArePagesMade(const std::vector<std::string>& pages);
  void Expand(std::string& value);
  /// Tells the observer of a link entry a writer has just processed.
  void NotifyLink(const CIniFile& commands, std::string_view key, std::string_view value,
                  bool tree_menu);

  Platform& platform_;
  RunLog& log_;
  const CIniFile& main_config_;
  const LinkFilter& filter_;
  RightsReport& rights_report_;
  std::unique_ptr<OutputFolder> own_folder_;
  OutputFolder& folder_;
  GenObserver* observer_ = nullptr;
  bool accept_rejected_lines_ = false;

  std::string template_file_;
  std::string template_directory_;
  std::string output_file_;
  // The template read last in this run, kept for the next page that names it.
  std::string read_template_file_;
  std::string template_bytes_;
  // Upper-cased paths, with the [Nicht_Kopieren] entry that added each (-1:
  // the run's own command file or template).
  std::map<std::string, int> negative_list_;
  int negative_source_ = -1;
  std::string_view copy_list_entry_;  // the [Kopieren] value being copied

  // Scratch of the writers, kept between links so that a link costs no
  // allocation once the strings have grown to fit.
  LinkEntry entry_;
  std::string row_;
  std::string attributes_;
  std::string table_font_;
  std::string heading_font_;
};

/// Whether a section of a page command file is a placeholder: every section
/// but [Vorlage] (and none without a name).
bool IsPlaceholderSection(std::string_view name);
/// Whether a page may be written under this name in the output folder: a
/// plain file name, and not that of the lock the run holds there.
bool IsOutputFileName(const std::string& name);

/// Splits a [Seiten] value into its page command file (put behind the
/// command directory when it has no drive) and its output file name; false
/// when either is empty.
bool SplitPageEntry(const std::string& value, const std::string& command_directory,
                    std::string& page_file, std::string& output_name);
/// The age in hours from which old output folders are deleted, read from a
/// LoeschStd text (`present`: the key exists): 24 when absent or empty,
/// kNeverDelete for a text that is no number.
int DeleteThresholdHours(std::string_view text, bool present);
/// The files of the output folder that the frames of the frameset page
/// show, as [FrameSet] of `commands` names them; none when no frameset is
/// written. A frame address counts when it is a plain file name once cut
/// before "#" or "?" and with its %XX escapes decoded, as a browser reads
/// it; an address elsewhere (a URL, a path) is none of the run's business.
std::vector<std::string> FramePageNames(const CIniFile& commands);

#endif  // PAGETRIX_GEN_GEN_HTML_H_
