#include "base/text.h"
#include "config/config_names.h"
#include "config/environment.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "gen/gen_observer.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

GenResult CopyResultOf(int copied) { return copied == 0 ? GenResult::kOk : GenResult::kCopyFailed; }

}  // namespace

void CGenHtml::AddToNegativeList(const std::string& path) {
  // The first entry that names a path is the one that excludes it.
  negative_list_.emplace(ToUpperAnsi(path), negative_source_);
}

bool CGenHtml::IsOnNegativeList(const std::string& path) const {
  return negative_list_.count(ToUpperAnsi(path)) != 0;
}

int CGenHtml::CopyFileLogged(const std::string& from, const std::string& to, bool fail_if_exists,
                             CopyPhase phase) {
  Log(Message(IDS_COPYING_FILE, from, to));
  // The copy says whether the target was there; only a failed one needs a
  // look (a folder of that name, say), each look being file calls per copy.
  const CopyOutcome outcome = platform_.CopyFileTo(from, to, fail_if_exists);
  const bool existed =
      outcome == CopyOutcome::kReplaced || outcome == CopyOutcome::kTargetExists ||
      (outcome == CopyOutcome::kFailed && GetPathKind(platform_, to) != PathKind::kMissing);
  if (existed) Log(Message(IDS_FILE_EXISTS, to));
  const bool kept = existed && fail_if_exists;
  const bool failed = outcome == CopyOutcome::kFailed && !kept;
  if (observer_ != nullptr) {
    CopyEvent event;
    event.phase = phase;
    event.source = from;
    event.target = to;
    event.result = failed ? CopyResult::kFailed : kept ? CopyResult::kKept : CopyResult::kCopied;
    event.entry = copy_list_entry_;
    observer_->OnCopy(event);
  }
  if (!failed) return 0;
  Fail(GenResult::kCopyFailed, IDS_COPY_FAILED, Message(IDS_COPY_FAILED, from, to), false);
  return 4;
}

GenResult CGenHtml::CopyTemplateFiles(const std::vector<std::string>& directories,
                                      const std::string& prefix) {
  for (const std::string& directory : directories) {
    // An empty template directory means "no directory": listing it would
    // search the root of the current drive and copy whatever lies there.
    if (directory.empty()) continue;
    std::vector<FolderEntry> entries;
    platform_.ListFolder(directory, &entries);
    for (const FolderEntry& entry : entries) {
      // Subfolders are not copied, nor links to folders (a link to a file is
      // copied as the file).
      if (entry.kind == PathKind::kFolder) continue;
      const std::string& file = entry.path;
      CUtil parts;
      parts.SplitPathLocal(file);
      // Never overwrites: a generated page beats a template file of its name.
      const std::string target = prefix + parts.file_name + parts.extension;
      const auto excluded = negative_list_.find(ToUpperAnsi(file));
      if (excluded != negative_list_.end()) {
        if (observer_ != nullptr) {
          CopyEvent event;
          event.source = file;
          event.target = target;
          event.result = CopyResult::kExcluded;
          event.excluded_by = excluded->second;
          observer_->OnCopy(event);
        }
        continue;
      }
      if (CopyFileLogged(file, target, true, CopyPhase::kTemplateFolder) != 0)
        return GenResult::kCopyFailed;
    }
  }
  return GenResult::kOk;
}

GenResult CGenHtml::CopyListEntries() {
  GenResult result = GenResult::kOk;
  std::string_view key, raw;
  for (int i = 0; main_config_.FindEntry(names::kKopieren, i, key, raw); ++i) {
    std::string value(raw);
    Expand(value);
    std::string source, target;
    GetField(source, value, 1, '|');
    GetField(target, value, 2, '|');
    if (source.empty() || target.empty()) {
      if (observer_ != nullptr) {
        CopyEvent event;
        event.phase = CopyPhase::kCopyList;
        event.source = source;
        event.target = target;
        event.result = CopyResult::kIncomplete;
        event.entry = raw;
        observer_->OnCopy(event);
      }
      Fail(GenResult::kCopyFailed, IDS_COPY_ENTRY_INCOMPLETE, Message(IDS_COPY_ENTRY_INCOMPLETE),
           false);
      result = GenResult::kCopyFailed;
      continue;
    }
    copy_list_entry_ = raw;
    result = CopyResultOf(CopyFileLogged(source, target, false, CopyPhase::kCopyList));
    copy_list_entry_ = std::string_view();
  }
  return result;
}
