#include "app/helpers.h"
#include "app/pagetrix_app.h"
#include "config/ini_file.h"
#include "config/text.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "res/messages.h"

void CGenHtml::AddToNegativeList(const std::string& path) {
  negative_list_.insert(ToUpperAnsi(path));
}

bool CGenHtml::IsOnNegativeList(const std::string& path) const {
  return negative_list_.count(ToUpperAnsi(path)) != 0;
}

int CGenHtml::CopyTemplateFiles(const std::vector<std::string>& directories,
                                const std::string& prefix) {
  for (const std::string& directory : directories) {
    // An empty template directory means "no directory": listing it would
    // search the root of the current drive and copy whatever lies there.
    if (directory.empty()) continue;
    std::vector<std::string> files;
    const std::string no_filter;
    CollectFiles(directory, FileCollectOptions{no_filter, 0, files, 0});
    for (const std::string& file : files) {
      if (IsOnNegativeList(file)) continue;
      CUtil parts;
      parts.SplitPathLocal(file);
      // Never overwrites: a generated page beats a template file of its name.
      if (CopyFileLogged(file, prefix + parts.file_name + parts.extension, true) != 0) return 4;
    }
  }
  return 0;
}

int CGenHtml::CopyListEntries() {
  CPagetrixApp& app = TheApp();
  int result = 0;
  std::string key, value;
  for (int i = 0; app.MainConfig().GetEntry("Kopieren", i, key, value); ++i) {
    ExpandEnvironment(value);
    std::string source, target;
    GetField(source, value, 1, '|');
    GetField(target, value, 2, '|');
    if (source.empty() || target.empty()) {
      app.Log(Message(IDS_COPY_ENTRY_INCOMPLETE));
      result = 4;
      continue;
    }
    result = CopyFileLogged(source, target, false);
  }
  return result;
}
