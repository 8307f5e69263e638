#include "base/text.h"
#include "config/environment.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

GenResult CopyResult(int copied) { return copied == 0 ? GenResult::kOk : GenResult::kCopyFailed; }

}  // namespace

void CGenHtml::AddToNegativeList(const std::string& path) {
  negative_list_.insert(ToUpperAnsi(path));
}

bool CGenHtml::IsOnNegativeList(const std::string& path) const {
  return negative_list_.count(ToUpperAnsi(path)) != 0;
}

GenResult CGenHtml::CopyTemplateFiles(const std::vector<std::string>& directories,
                                      const std::string& prefix) {
  for (const std::string& directory : directories) {
    // An empty template directory means "no directory": listing it would
    // search the root of the current drive and copy whatever lies there.
    if (directory.empty()) continue;
    std::vector<FindEntry> entries;
    GetPlatform().ListDirectory(directory, &entries);
    for (const FindEntry& entry : entries) {
      // Subfolders are not copied, nor links to folders, which the listing
      // gives as files (a link to a file is copied as the file).
      if (entry.is_directory || entry.is_link_to_directory) continue;
      const std::string& file = entry.path;
      if (IsOnNegativeList(file)) continue;
      CUtil parts;
      parts.SplitPathLocal(file);
      // Never overwrites: a generated page beats a template file of its name.
      const std::string target = prefix + parts.file_name + parts.extension;
      if (CopyFileLogged(file, target, true, log_) != 0) return GenResult::kCopyFailed;
    }
  }
  return GenResult::kOk;
}

GenResult CGenHtml::CopyListEntries() {
  GenResult result = GenResult::kOk;
  std::string key, value;
  for (int i = 0; main_config_.GetEntry("Kopieren", i, key, value); ++i) {
    Expand(value);
    std::string source, target;
    GetField(source, value, 1, '|');
    GetField(target, value, 2, '|');
    if (source.empty() || target.empty()) {
      LogFailure(Message(IDS_COPY_ENTRY_INCOMPLETE));
      result = GenResult::kCopyFailed;
      continue;
    }
    result = CopyResult(CopyFileLogged(source, target, false, log_));
  }
  return result;
}
