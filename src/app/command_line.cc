#include "app/command_line.h"

#include "app/pagetrix_app.h"
#include "app/windows.h"
#include "config/text.h"
#include "platform/command_line_split.h"
#include "platform/platform.h"

namespace {

bool HasKeyword(const std::string& text, std::string_view keyword) {
  return text.size() >= keyword.size() &&
         EqualsNoCaseAscii(std::string_view(text).substr(0, keyword.size()), keyword);
}

// The system's search; when it finds nothing the name stays as written.
std::string SearchFile(const std::string& name) {
  std::string full;
  return GetPlatform().SearchPath(name, &full) ? full : name;
}

// Whether a text (after the prefix step) is "?" or begins with a keyword.
bool IsKeywordOrHelp(const std::string& argument) {
  std::string text = !argument.empty() && argument[0] == '\\' ? argument.substr(1) : argument;
  return text == "?" || HasKeyword(text, "INI=") || HasKeyword(text, "USER=") ||
         HasKeyword(text, "SERVER=") || HasKeyword(text, "ENV=");
}

}  // namespace

void CMyCommandLineInfo::ParseCommandLine(const std::string& command_line) {
  for (const std::string& word : SplitWindowsCommandLine(command_line)) {
    bool prefixed = !word.empty() && (word[0] == '-' || word[0] == '/');
    // Absolute paths begin with the slash where it is the separator: there a
    // slash argument that is no keyword still names the command file.
    if (prefixed && kPathSeparator == '/' && word[0] == '/' && !IsKeywordOrHelp(word.substr(1)))
      prefixed = false;
    ParseArgument(prefixed ? word.substr(1) : word, prefixed);
  }
}

void CMyCommandLineInfo::ParseArgument(const std::string& argument, bool prefixed) {
  std::string text = !argument.empty() && argument[0] == '\\' ? argument.substr(1) : argument;
  if (text == "?") {
    ShowHelp();
  } else if (HasKeyword(text, "INI=")) {
    TheApp().SetProfilePath(SearchFile(text.substr(4)));
  } else if (HasKeyword(text, "USER=")) {
    user = text.substr(5);
  } else if (HasKeyword(text, "SERVER=")) {
    server = text.substr(7);
  } else if (HasKeyword(text, "ENV=")) {
    environment_file = SearchFile(text.substr(4));
  } else if (!prefixed && command_file.empty()) {
    command_file = argument;
  }
}

void CMyCommandLineInfo::ShowHelp() {
  ShowHelpWindow();
  help_shown = true;
}
