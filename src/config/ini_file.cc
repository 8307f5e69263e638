#include "config/ini_file.h"

#include <algorithm>
#include <new>

#include "base/text.h"
#include "platform/platform.h"

namespace {

// Longest piece a line is read in, its line feed included.
constexpr size_t kMaxPiece = 1022;

}  // namespace

void CIniFile::Clear() {
  sections_.clear();
  current_ = nullptr;
}

int CIniFile::Load(const std::string& path) {
  Clear();
  file_name_ = path;
  std::string bytes;
  ReadResult read = GetPlatform().ReadFileExclusive(path, &bytes);
  if (read == ReadResult::kCannotOpen) return 1;
  // A read error keeps what was read before it.
  int result = LoadFromBytes(bytes);
  return read == ReadResult::kReadError ? 2 : result;
}

int CIniFile::LoadFromBytes(std::string_view bytes) {
  sections_.clear();
  current_ = nullptr;
  // Text mode: byte 0x1A ends the file and a CR before an LF is dropped.
  size_t end = bytes.find('\x1A');
  if (end != std::string_view::npos) bytes = bytes.substr(0, end);
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text.push_back(bytes[i]);
  }

  int result = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t lf = text.find('\n', pos);
    size_t line_end = lf == std::string::npos ? text.size() : lf + 1;
    size_t piece_end = std::min(line_end, pos + kMaxPiece);
    int code = ParseLine(text.substr(pos, piece_end - pos));
    pos = piece_end;
    if (code == 3) return 3;
    if (code != 0) result = code;
  }
  return result;
}

int CIniFile::ParseLine(std::string line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  line = TrimBlanks(line);
  if (line.empty() || line[0] == ';' || line[0] == ':') return 0;
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == ';' && IsBlankOrTab(line[i - 1])) {
      line.erase(i - 1);
      break;
    }
  }
  line = TrimBlanks(line);
  if (line.empty()) return 0;

  if (line[0] == '[' && line.find(']') != std::string::npos) {
    // Whatever stands last on a header line is taken for its closing bracket.
    try {
      sections_.push_back(CIniSection{line.substr(1, line.size() - 2), {}, {}});
    } catch (const std::bad_alloc&) {
      return 3;
    }
    current_ = &sections_.back();
    return 0;
  }
  if (current_ == nullptr) return 0;
  size_t eq = line.find('=');
  if (eq == std::string::npos) return 4;
  current_->keys.push_back(TrimBlanks(std::string_view(line).substr(0, eq)));
  current_->values.push_back(TrimBlanks(std::string_view(line).substr(eq + 1)));
  return 0;
}

bool CIniFile::GetValue(std::string_view section, std::string_view key, std::string& value) const {
  value.clear();
  for (const CIniSection& s : sections_) {
    if (!EqualsNoCaseAscii(s.name, section)) continue;
    for (size_t i = 0; i < s.keys.size(); ++i) {
      if (EqualsNoCaseAscii(s.keys[i], key)) {
        value = s.values[i];
        return true;
      }
    }
  }
  return false;
}

bool CIniFile::GetEntry(std::string_view section, int index, std::string& key,
                        std::string& value) const {
  key.clear();
  value.clear();
  if (index < 0) return false;
  for (const CIniSection& s : sections_) {
    if (EqualsNoCaseAscii(s.name, section) && s.keys.size() > static_cast<size_t>(index)) {
      key = s.keys[index];
      value = s.values[index];
      return true;
    }
  }
  return false;
}

int CIniFile::GetSection(int index, std::string& name) const {
  name.clear();
  if (index < 0 || index >= GetSectionCount()) return 0;
  name = sections_[index].name;
  return static_cast<int>(sections_[index].keys.size());
}
