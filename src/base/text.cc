#include "base/text.h"

#include <climits>

std::string ToUpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = ToUpperAscii(c);
  return upper;
}

char ToUpperAnsi(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  switch (u) {
    case 0x9A:
      return '\x8A';  // s caron
    case 0x9C:
      return '\x8C';  // oe
    case 0x9E:
      return '\x8E';  // z caron
    case 0xFF:
      return '\x9F';  // y diaeresis
    default:
      return c;
  }
}

std::string ToUpperAnsi(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToUpperAnsi(c);
  return out;
}

int ParseLeadingInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;  // saturate below
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::uint32_t ParseHex(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else break;
    // Unsigned arithmetic keeps the low 32 bits of longer texts.
    value = (value << 4) | digit;
  }
  return negative ? 0u - value : value;
}

std::string TrimBlanks(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlankOrTab(text[begin])) ++begin;
  while (end > begin && IsBlankOrTab(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string ExpandTabs(std::string_view text, int tab_width) {
  std::string out;
  out.reserve(text.size());
  const size_t width = tab_width > 0 ? static_cast<size_t>(tab_width) : 1;
  size_t column = 0;
  for (char c : text) {
    if (c == '\t') {
      const size_t blanks = width - column % width;
      out.append(blanks, ' ');
      column += blanks;
      continue;
    }
    out.push_back(c);
    column = (c == '\r' || c == '\n') ? 0 : column + 1;
  }
  return out;
}

namespace {

// Code points of 80..9F; 0 marks the bytes the code page leaves undefined.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    char32_t code = byte;
    if (byte >= 0x80 && byte <= 0x9F) {
      code = kCp1252High[byte - 0x80];
      if (code == 0) code = 0xFFFD;
    }
    AppendUtf8(out, code);
  }
  return out;
}

bool IsUtf8Codeset(std::string_view codeset) {
  return EqualsNoCaseAscii(codeset, "UTF-8") || EqualsNoCaseAscii(codeset, "UTF8");
}

std::string TextForConsole(std::string_view text, std::string_view codeset) {
  return IsUtf8Codeset(codeset) ? Cp1252ToUtf8(text) : std::string(text);
}
