#include "platform/command_line_split.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(const std::string& text) {
  std::vector<std::string> words;
  size_t i = 0;
  const size_t n = text.size();
  while (true) {
    while (i < n && IsBlank(text[i])) ++i;
    if (i >= n) break;
    // Any non-blank starts a word, even a lone quote (it yields "").
    std::string word;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(text[i]))) {
      char c = text[i];
      if (c == '\\') {
        size_t run = 0;
        while (i < n && text[i] == '\\') {
          ++run;
          ++i;
        }
        if (i < n && text[i] == '"') {
          word.append(run / 2, '\\');
          if (run % 2 == 1) {
            word.push_back('"');
            ++i;
          }
          // An even run leaves the quote to the code below.
        } else {
          word.append(run, '\\');
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < n && text[i + 1] == '"') {
          // A doubled quote inside quotes stands for one quote.
          word.push_back('"');
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      word.push_back(c);
      ++i;
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::string SplitProgramName(const std::string& command_line, std::string* arguments) {
  std::string name;
  size_t i = 0;
  const size_t n = command_line.size();
  if (i < n && command_line[i] == '"') {
    ++i;
    while (i < n && command_line[i] != '"') name.push_back(command_line[i++]);
    if (i < n) ++i;  // the closing quote
  } else {
    while (i < n && !IsBlank(command_line[i])) name.push_back(command_line[i++]);
  }
  while (i < n && IsBlank(command_line[i])) ++i;
  if (arguments != nullptr) *arguments = command_line.substr(i);
  return name;
}

std::string QuoteWindowsArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      // Backslashes before a quote are doubled, and the quote escaped.
      out.append(backslashes * 2 + 1, '\\');
      out.push_back('"');
    } else {
      out.append(backslashes, '\\');
      out.push_back(c);
    }
    backslashes = 0;
  }
  // Backslashes before the closing quote are doubled too.
  out.append(backslashes * 2, '\\');
  out.push_back('"');
  return out;
}
