#include "app/command_line.h"

#include <string_view>

#include "base/text.h"
#include "platform/command_line_split.h"
#include "platform/platform.h"
#include "ui/run_windows.h"

namespace {

enum class Keyword { kNone, kHelp, kIni, kUser, kServer, kEnv, kCheck, kCd };

struct Classified {
  Keyword keyword = Keyword::kNone;
  std::string value;  // the text after the equals sign
};

// What an argument (after the prefix step) asks for; a leading backslash is
// skipped for these tests only.
Classified Classify(const std::string& argument) {
  std::string_view text(argument);
  if (!text.empty() && text[0] == '\\') text.remove_prefix(1);
  if (text == "?") return {Keyword::kHelp, {}};
  // Switches without a value: the whole word, in any case.
  if (EqualsNoCaseAscii(text, "PRUEFEN")) return {Keyword::kCheck, {}};
  if (EqualsNoCaseAscii(text, "CD")) return {Keyword::kCd, {}};
  static const std::pair<std::string_view, Keyword> kKeywords[] = {{"INI=", Keyword::kIni},
                                                                   {"USER=", Keyword::kUser},
                                                                   {"SERVER=", Keyword::kServer},
                                                                   {"ENV=", Keyword::kEnv}};
  for (const auto& [name, keyword] : kKeywords) {
    if (text.size() >= name.size() && EqualsNoCaseAscii(text.substr(0, name.size()), name))
      return {keyword, std::string(text.substr(name.size()))};
  }
  return {};
}

// The system's search; when it finds nothing the name stays as written.
std::string SearchFile(FileSystem& files, const std::string& name) {
  std::string full;
  return files.FindOnSearchPath(name, &full) ? full : name;
}

}  // namespace

void CMyCommandLineInfo::ParseCommandLine(const std::string& command_line) {
  for (const std::string& word : SplitWindowsCommandLine(command_line)) {
    bool prefixed = !word.empty() && (word[0] == '-' || word[0] == '/');
    // Absolute paths begin with the slash where it is the separator: there a
    // slash argument that is no keyword still names the command file.
    if (prefixed && kPathSeparator == '/' && word[0] == '/' &&
        Classify(word.substr(1)).keyword == Keyword::kNone)
      prefixed = false;
    ParseArgument(prefixed ? word.substr(1) : word, prefixed);
  }
}

void CMyCommandLineInfo::ParseArgument(const std::string& argument, bool prefixed) {
  Classified classified = Classify(argument);
  switch (classified.keyword) {
    case Keyword::kHelp:
      ShowHelp();
      break;
    case Keyword::kIni:
      profile_path = SearchFile(files_, classified.value);
      break;
    case Keyword::kUser:
      user = classified.value;
      break;
    case Keyword::kServer:
      server = classified.value;
      break;
    case Keyword::kEnv:
      environment_file = SearchFile(files_, classified.value);
      break;
    case Keyword::kCheck:
      check_mode = true;
      break;
    case Keyword::kCd:
      as_cd = true;
      break;
    case Keyword::kNone:
      if (!prefixed && command_file.empty()) command_file = argument;
      break;
  }
}

void CMyCommandLineInfo::ShowHelp() {
  ShowHelpWindow(windows_);
  help_shown = true;
}

RunIdentity RunIdentityOf(const CMyCommandLineInfo& command_line) {
  return RunIdentity{command_line.user, command_line.server, command_line.as_cd,
                     command_line.environment_file};
}
