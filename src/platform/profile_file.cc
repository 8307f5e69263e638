#include "platform/profile_file.h"
#include "platform/file_reading.h"

#include "base/text.h"
#include "platform/platform.h"

namespace {

struct Line {
  std::string_view text;  // without its line end
  std::string_view end;   // "\r\n", "\n" or empty (the last line)
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t feed = text.find('\n', start);
    if (feed == std::string_view::npos) {
      lines.push_back(Line{text.substr(start), std::string_view()});
      break;
    }
    size_t end = feed > start && text[feed - 1] == '\r' ? feed - 1 : feed;
    lines.push_back(Line{text.substr(start, end - start), text.substr(end, feed + 1 - end)});
    start = feed + 1;
  }
  return lines;
}

std::string_view TrimBlanksView(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlankOrTab(text[begin])) ++begin;
  while (end > begin && IsBlankOrTab(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The name of a section header line; false for any other line.
bool SectionName(std::string_view line, std::string_view* name) {
  std::string_view trimmed = TrimBlanksView(line);
  if (trimmed.empty() || trimmed[0] != '[') return false;
  size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return false;
  *name = TrimBlanksView(trimmed.substr(1, close - 1));
  return true;
}

// Where the value of a key line begins (after "=" and the blanks after
// it); npos when the line is no line of the key.
size_t ValueStart(std::string_view line, std::string_view key) {
  // A comment (";X=1") names no key: its name begins with the semicolon.
  size_t equals = line.find('=');
  if (equals == std::string_view::npos ||
      !EqualsNoCaseAscii(TrimBlanksView(line.substr(0, equals)), key))
    return std::string_view::npos;
  size_t value = equals + 1;
  while (value < line.size() && IsBlankOrTab(line[value])) ++value;
  return value;
}

}  // namespace

std::string SetProfileKeys(std::string_view text, std::string_view section,
                           const ProfileKeys& keys) {
  const std::vector<Line> lines = SplitLines(text);
  const std::string_view eol = !lines.empty() && !lines[0].end.empty() ? lines[0].end : "\r\n";

  // The first section of the name: its header line and the line after its last one.
  size_t header = lines.size(), end = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (!SectionName(lines[i].text, &name)) continue;
    if (header != lines.size()) {
      end = i;
      break;
    }
    if (EqualsNoCaseAscii(name, section)) header = i;
  }
  // The line of each key in it, and where missing keys go: after the last
  // line that is not blank.
  std::vector<size_t> found(keys.size(), lines.size());
  size_t insert_after = header;
  for (size_t i = header + 1; i < end; ++i) {
    if (!TrimBlanksView(lines[i].text).empty()) insert_after = i;
    for (size_t k = 0; k < keys.size(); ++k) {
      if (found[k] == lines.size() && ValueStart(lines[i].text, keys[k].first) != std::string::npos)
        found[k] = i;
    }
  }

  std::string added;
  if (header == lines.size()) {
    added.append("[").append(section).append("]").append(eol);
  }
  for (size_t k = 0; k < keys.size(); ++k) {
    if (found[k] == lines.size())
      added.append(keys[k].first).append("=").append(keys[k].second).append(eol);
  }

  std::string out;
  out.reserve(text.size() + added.size() + 64);
  for (size_t i = 0; i < lines.size(); ++i) {
    size_t k = 0;
    while (k < keys.size() && found[k] != i) ++k;
    if (k < keys.size()) {
      out.append(lines[i].text.substr(0, ValueStart(lines[i].text, keys[k].first)));
      out.append(keys[k].second);
    } else {
      out.append(lines[i].text);
    }
    out.append(lines[i].end);
    if (i == insert_after && header != lines.size() && !added.empty()) {
      if (lines[i].end.empty()) out.append(eol);
      out.append(added);
      added.clear();
    }
  }
  // A new section goes at the end, on a line of its own.
  if (!added.empty()) {
    if (!lines.empty() && lines.back().end.empty()) out.append(eol);
    out.append(added);
  }
  return out;
}

bool WriteProfileKeys(FileSystem& files, const std::string& path, std::string_view section,
                      const ProfileKeys& keys) {
  std::string text;
  if (ReadFileToString(files, path, &text) != ReadResult::kOk) {
    // Only a file that is not there starts empty.
    if (files.Inspect(path, Links::kFollow).kind != PathKind::kMissing) return false;
    text.clear();
  }
  return files.RewriteFile(path, SetProfileKeys(text, section, keys));
}
