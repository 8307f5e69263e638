#include "check/ini_scan.h"

#include "base/text.h"
#include "config/ini_file.h"

namespace {

// Longest piece the reader takes as one line, its line feed included.
constexpr size_t kReaderPiece = 1022;

// The reader's verdict on one piece, asked of the reader itself: the piece
// is loaded behind a header of its own.
void Classify(const std::string& piece, IniLine& line) {
  CIniFile probe;
  int code = probe.LoadFromBytes("[?]\n" + piece + "\n");
  if (probe.GetSectionCount() == 2) {
    line.kind = IniLineKind::kHeader;
    probe.GetSection(1, line.section);
    return;
  }
  if (code == 4) {
    line.kind = IniLineKind::kNoEquals;
    return;
  }
  if (!probe.GetEntry("?", 0, line.key, line.value)) return;  // a comment
  line.kind = IniLineKind::kKey;
  std::string trimmed = TrimBlanks(piece);
  std::string whole = TrimBlanks(std::string_view(trimmed).substr(trimmed.find('=') + 1));
  if (whole.size() > line.value.size())
    line.cut_off = TrimBlanks(std::string_view(whole).substr(line.value.size()));
}

}  // namespace

std::vector<IniLine> ScanIniLines(std::string_view bytes) {
  size_t end_of_file = bytes.find('\x1A');
  if (end_of_file != std::string_view::npos) bytes = bytes.substr(0, end_of_file);
  std::vector<IniLine> lines;
  std::string section;
  bool seen_header = false;
  size_t number = 0;
  for (size_t pos = 0; pos < bytes.size();) {
    size_t lf = bytes.find('\n', pos);
    size_t line_end = lf == std::string_view::npos ? bytes.size() : lf;
    std::string_view text = bytes.substr(pos, line_end - pos);
    if (lf != std::string_view::npos && !text.empty() && text.back() == '\r') text.remove_suffix(1);
    ++number;
    // Pieces of the reader's length; a line feed left over alone is empty.
    for (size_t at = 0; at == 0 || at < text.size(); at += kReaderPiece) {
      IniLine line;
      line.number = number;
      line.piece = at > 0;
      line.raw = std::string(text.substr(at, kReaderPiece));
      Classify(line.raw, line);
      if (line.kind == IniLineKind::kHeader) {
        section = line.section;
        seen_header = true;
      } else {
        line.section = section;
        if (!seen_header && line.kind != IniLineKind::kIgnored)
          line.kind = IniLineKind::kBeforeFirstSection;
      }
      lines.push_back(std::move(line));
    }
    pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
  }
  return lines;
}

const IniLine* FindKeyLine(const std::vector<IniLine>& lines, std::string_view section,
                           std::string_view key) {
  for (const IniLine& line : lines) {
    if (line.kind == IniLineKind::kKey && EqualsNoCaseAscii(line.section, section) &&
        EqualsNoCaseAscii(line.key, key))
      return &line;
  }
  return nullptr;
}

const IniLine* FindHeaderLine(const std::vector<IniLine>& lines, std::string_view section) {
  for (const IniLine& line : lines) {
    if (line.kind == IniLineKind::kHeader && EqualsNoCaseAscii(line.section, section)) return &line;
  }
  return nullptr;
}
