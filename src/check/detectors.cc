#include "check/detectors.h"

#include <algorithm>

#include "base/text.h"
#include "gen/markup.h"

namespace {

// How an umlaut is spelled out when it cannot be written.
const char* SpelledOut(unsigned char c) {
  switch (c) {
    case 0xE4:
    case 0xC4:
      return "AE";
    case 0xF6:
    case 0xD6:
      return "OE";
    case 0xFC:
    case 0xDC:
      return "UE";
    case 0xDF:
      return "SS";
    default:
      return nullptr;
  }
}

// The Windows-1252 byte of an umlaut written in UTF-8 (second byte after 0xC3).
unsigned char AnsiOfUtf8Umlaut(unsigned char second) {
  switch (second) {
    case 0xA4:
      return 0xE4;
    case 0x84:
      return 0xC4;
    case 0xB6:
      return 0xF6;
    case 0x96:
      return 0xD6;
    case 0xBC:
      return 0xFC;
    case 0x9C:
      return 0xDC;
    case 0x9F:
      return 0xDF;
    default:
      return 0;
  }
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// A letter or digit of Windows-1252 text (umlauts and accented letters included).
bool IsWordByte(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == 0x8A ||
         c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F ||
         (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

}  // namespace

std::string FoldKeyForComparison(std::string_view key) {
  std::string folded;
  for (size_t i = 0; i < key.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(key[i]);
    if (c == 0xC3 && i + 1 < key.size()) {
      unsigned char ansi = AnsiOfUtf8Umlaut(static_cast<unsigned char>(key[i + 1]));
      if (ansi != 0) {
        folded += SpelledOut(ansi);
        ++i;
        continue;
      }
    }
    if (const char* spelled = SpelledOut(c)) {
      folded += spelled;
    } else if (c != ' ' && c != '\t' && c != '-' && c != '_') {
      folded += static_cast<char>(c);
    }
  }
  return ToUpperAnsi(folded);
}

size_t EditDistance(std::string_view a, std::string_view b) {
  // Three rows: the one before the previous serves the transpositions.
  std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    before.swap(previous);
    previous.swap(current);
  }
  return previous[b.size()];
}

bool IsOneOfNoCase(std::string_view name, std::span<const std::string_view> candidates) {
  for (std::string_view candidate : candidates) {
    if (EqualsNoCaseAscii(name, candidate)) return true;
  }
  return false;
}

std::string NearMissName(std::string_view key, std::span<const std::string_view> candidates) {
  if (key.empty() ||
      std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return {};
  if (IsOneOfNoCase(key, candidates)) return {};
  const std::string folded = FoldKeyForComparison(key);
  for (std::string_view candidate : candidates) {
    const std::string target = FoldKeyForComparison(candidate);
    size_t allowed = target.size() <= 6 ? 1 : 2;
    if (EditDistance(folded, target) <= allowed) return std::string(candidate);
  }
  return {};
}

bool StartsWithUtf8Bom(std::string_view bytes) { return bytes.substr(0, 3) == "\xEF\xBB\xBF"; }

size_t FindUtf8Sequence(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || i + length > text.size()) continue;
    bool whole = true;
    for (size_t k = 1; k < length; ++k)
      whole = whole && IsContinuation(static_cast<unsigned char>(text[i + k]));
    if (whole) return i;
  }
  return std::string_view::npos;
}

HexText ClassifyHexText(std::string_view text) {
  if (text.empty()) return HexText::kEmpty;
  auto is_hex = [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  };
  if (text.size() == 8 && std::all_of(text.begin(), text.end(), is_hex))
    return HexText::kEightDigits;
  // The reader's own parse: what does not give digits reads as 0.
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
  return i < text.size() && is_hex(text[i]) ? HexText::kReadable : HexText::kNotHex;
}

namespace {

// Whether a title or a tag is open after each byte of the line.
void ScanLine(std::string_view line, bool title, std::vector<bool>* title_at,
              std::vector<bool>* tag_at, bool* title_after) {
  const std::string upper = ToUpperAnsi(line);
  bool tag = false;
  if (title_at != nullptr) {
    title_at->assign(upper.size() + 1, false);
    tag_at->assign(upper.size() + 1, false);
  }
  for (size_t i = 0; i <= upper.size(); ++i) {
    if (upper.compare(i, 6, "<TITLE") == 0) title = true;
    if (upper.compare(i, 8, "</TITLE>") == 0) title = false;
    if (i < upper.size() && upper[i] == '<') tag = true;
    if (title_at != nullptr) {
      (*title_at)[i] = title;
      (*tag_at)[i] = tag;
    }
    if (i < upper.size() && upper[i] == '>') tag = false;
  }
  *title_after = title;
}

}  // namespace

TemplateSpots::TemplateSpots(std::vector<std::string_view> lines) : lines_(std::move(lines)) {
  title_at_start_.reserve(lines_.size());
  bool title = false;
  for (std::string_view line : lines_) {
    title_at_start_.push_back(title);
    // A title may span lines: only its state at the line's end matters here.
    ScanLine(line, title, nullptr, nullptr, &title);
  }
}

PlaceholderSpot TemplateSpots::At(size_t line, size_t column, size_t length) {
  PlaceholderSpot spot;
  if (line == 0 || line > lines_.size()) return spot;
  const std::string_view text = lines_[line - 1];
  if (column + length > text.size()) return spot;
  if (cached_line_ != line) {
    bool after = false;
    ScanLine(text, title_at_start_[line - 1], &title_, &tag_, &after);
    cached_line_ = line;
  }
  const size_t end = column + length;
  spot.inside_word = (column > 0 && IsWordByte(static_cast<unsigned char>(text[column - 1]))) ||
                     (end < text.size() && IsWordByte(static_cast<unsigned char>(text[end])));
  spot.in_title = title_[column] && !tag_[column];
  spot.in_tag = tag_[column];
  return spot;
}

std::string DeclaredCharset(std::string_view html) {
  std::string upper = ToUpperAnsi(html);
  size_t at = upper.find("CHARSET");
  while (at != std::string::npos) {
    size_t i = at + 7;
    while (i < upper.size() && IsBlankOrTab(upper[i])) ++i;
    if (i < upper.size() && upper[i] == '=') {
      ++i;
      while (i < upper.size() && (IsBlankOrTab(upper[i]) || upper[i] == '"' || upper[i] == '\''))
        ++i;
      size_t end = i;
      while (end < upper.size() && upper[end] != '"' && upper[end] != '\'' && upper[end] != ';' &&
             upper[end] != '>' && upper[end] != '/' && !IsCSpace(upper[end]))
        ++end;
      std::string charset(html.substr(i, end - i));
      for (char& c : charset)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      return charset;
    }
    at = upper.find("CHARSET", at + 7);
  }
  return {};
}

bool IsAnsiCharset(std::string_view charset) {
  return charset == "windows-1252" || charset == "iso-8859-1";
}

size_t FindScriptBreaker(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') continue;
    // What no script can read the menu writer puts as it stands.
    const size_t length = ScriptEscapeLength(text, i);
    if (length == 0) continue;
    // Meant by the author: a doubled backslash, an escaped quote.
    if (text[i + 1] != '\\' && text[i + 1] != '\'') return i;
    i += length - 1;
  }
  return std::string_view::npos;
}

bool IsRelativeLink(std::string_view link) {
  if (link.empty() || link[0] == '#' || link[0] == '/' || link[0] == '\\' || link[0] == '%')
    return false;
  // A scheme (http:, mailto:, file:, javascript:) or a drive letter.
  size_t colon = link.find(':');
  size_t slash = link.find_first_of("/\\?#");
  return colon == std::string_view::npos || (slash != std::string_view::npos && slash < colon);
}

std::string LinkFileName(std::string_view link) {
  return std::string(link.substr(0, link.find_first_of("#?")));
}

bool IsPlainInteger(std::string_view text) {
  size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  return i < text.size() &&
         std::all_of(text.begin() + i, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
