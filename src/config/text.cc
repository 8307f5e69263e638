#include "config/text.h"

#include <climits>

namespace {

unsigned char UpperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

// Windows-1252 upper-case mapping; letters without an upper-case form in the
// code page (sharp s, micro sign) stay.
unsigned char UpperAnsi(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

}  // namespace

bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(static_cast<unsigned char>(a[i])) != UpperAscii(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string ToUpperAnsi(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(UpperAnsi(static_cast<unsigned char>(c)));
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
  if (i + 1 < text.size() && text[i] == '0' &&
      (text[i + 1] == 'x' || text[i + 1] == 'X'))
    i += 2;
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
