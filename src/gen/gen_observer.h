/// What a walk of the configuration does, told as it happens. A run has no
/// listener; the check mode listens to learn what a run would do, from the
/// run's own code path.
#ifndef PAGETRIX_GEN_GEN_OBSERVER_H_
#define PAGETRIX_GEN_GEN_OBSERVER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "gen/link_entry.h"

class CIniFile;
enum class GenResult : int;

/// Where a placeholder was replaced, and by which section.
struct PlaceholderEvent {
  const CIniFile* commands = nullptr;  ///< the page command file
  int record = 0;                      ///< its section record named by the placeholder
  std::string_view template_file;
  int template_line = 0;  ///< 1-based line of the template
  /// The name began in the template's own text (else in text a writer had
  /// inserted into the line before); `column` is then its byte offset there.
  bool in_template = true;
  std::size_t column = 0;
  int inserted_by = -1;    ///< else: the record whose inserted text held the name
  std::string_view line;   ///< the template line as read
  bool tree_menu = false;  ///< the writer: tree menu, else link table
};

/// One link entry as a writer read it.
struct LinkEvent {
  const CIniFile* commands = nullptr;
  int record = 0;        ///< the section record being written
  std::string_view key;  ///< the entry's key and value as the reader holds them
  std::string_view value;
  const LinkEntry* entry = nullptr;  ///< fields; the four texts expanded only when shown
  LinkVerdict verdict = LinkVerdict::kShown;
  bool tree_menu = false;
};

/// The two copy phases and the copy of an unchanged template.
enum class CopyPhase { kUnchangedTemplate, kTemplateFolder, kCopyList };

enum class CopyResult {
  kCopied,      ///< written (a new file, or a replaced one)
  kKept,        ///< the target exists and was left as it is (message 212)
  kFailed,      ///< message 207
  kExcluded,    ///< on the negative list: not copied
  kIncomplete,  ///< a copy-list entry without source or target (message 222)
};

struct CopyEvent {
  CopyPhase phase = CopyPhase::kTemplateFolder;
  std::string_view source;
  std::string_view target;
  CopyResult result = CopyResult::kCopied;
  /// kExcluded: the [Nicht_Kopieren] entry that excluded it, or -1 when the
  /// run's own command file or template did.
  int excluded_by = -1;
  /// kCopyList: the entry's value as the main configuration holds it.
  std::string_view entry;
};

class GenObserver {
 public:
  virtual ~GenObserver() = default;

  /// The age from which old output folders are deleted (kNeverDelete: none),
  /// with the LoeschStd text it was read from (empty when absent).
  virtual void OnDeleteThreshold(std::string_view /*text*/, int /*hours*/) {}
  /// A command file was loaded; `result` is the reader's code (0 complete).
  /// `start`: the start command file, else a page command file.
  virtual void OnCommandFile(const CIniFile& /*commands*/, int /*result*/, bool /*start*/) {}
  /// A [Nicht_Kopieren] entry, expanded, joined the negative list.
  virtual void OnNegativeEntry(int /*index*/, std::string_view /*raw*/,
                               std::string_view /*expanded*/) {}
  /// A page of the page list: `entry` is its [Seiten] value as read. An
  /// entry without one of its fields is told too, before the run stops.
  virtual void OnPageListed(const CIniFile& /*start*/, std::string_view /*entry*/,
                            const std::string& /*command_file*/,
                            const std::string& /*output_name*/) {}
  /// The frameset page was written, or not (kNoFrameSet, kWriteFailed).
  virtual void OnFrameSet(const CIniFile& /*start*/, const std::string& /*path*/,
                          GenResult /*result*/) {}
  /// A page's template and template folder as resolved, before it is filled.
  virtual void OnTemplate(const CIniFile& /*commands*/, const std::string& /*template_file*/,
                          const std::string& /*template_directory*/,
                          const std::string& /*output_file*/, bool /*sound*/) {}
  /// A page was written, or failed (the page's result).
  virtual void OnPage(const CIniFile& /*commands*/, const std::string& /*output_file*/,
                      GenResult /*result*/) {}
  virtual void OnPlaceholder(const PlaceholderEvent& /*event*/) {}
  virtual void OnLinkEntry(const LinkEvent& /*event*/) {}
  virtual void OnCopy(const CopyEvent& /*event*/) {}
  /// A step failed: the result it gives, the message number and its text.
  /// `stops`: the run ends here without a start page.
  virtual void OnStepFailed(GenResult /*result*/, int /*message*/, const std::string& /*text*/,
                            bool /*stops*/) {}
  /// The run's end: its result and the start page handed back (empty when
  /// it made none).
  virtual void OnResult(GenResult /*result*/, const std::string& /*start_page*/) {}
};

#endif  // PAGETRIX_GEN_GEN_OBSERVER_H_
