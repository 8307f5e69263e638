#include "config/rights.h"

#include <algorithm>

#include "config/run_log.h"
#include "platform/messages.h"

void RightsReport::AddRow(const std::string& rights, const std::string& entry,
                          const std::string& command_file) {
  rights_.push_back(rights);
  entries_.push_back(entry);
  files_.push_back(command_file);
}

void RightsReport::Write(RunLog& log) const {
  // CR LF as the text: a line with only its time prefix, then an empty one.
  log.Log("\r\n");
  std::string title = LoadMessage(IDS_RIGHTS_REPORT_TITLE);
  log.Log(title);
  log.Log(std::string(title.size(), '-'));

  size_t longest = 0;
  for (const std::string& entry : entries_) longest = std::max(longest, entry.size());
  const int width = static_cast<int>(longest + 2);

  log.Log(StringPrintf("%-10s%-*s%-s", "Recht", width, "Zeile", "Vorlage-INI-Datei"));
  for (size_t i = 0; i < rights_.size(); ++i) {
    log.Log(StringPrintf("%-10s%-*s%-s", rights_[i].c_str(), width, entries_[i].c_str(),
                         files_[i].c_str()));
  }
}
