/// Byte-string helpers shared by every folder (Windows-1252 texts).
#ifndef PAGETRIX_BASE_TEXT_H_
#define PAGETRIX_BASE_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

/// Blank or tab, the white space of the INI reader.
inline bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
/// White space as the C library's isspace sees it in the C locale.
inline bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/// Upper case of a to z only; every other byte stays.
inline char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
/// Upper case of the letters a to z only.
std::string ToUpperAscii(std::string_view text);
/// Upper case with the Windows-1252 case mapping (umlauts included); letters
/// without an upper-case form in the code page (sharp s, micro sign) stay.
char ToUpperAnsi(char c);

/// Equal apart from the letter case of A to Z; every other byte must match.
inline bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
  }
  return true;
}
/// Upper case with the Windows-1252 case mapping (umlauts included).
std::string ToUpperAnsi(std::string_view text);
/// Leading decimal integer as atoi reads it (white space, sign, digits).
int ParseLeadingInt(std::string_view text);
/// Hexadecimal number as "%x" reads it: white space, optional 0x, digits;
/// more than eight digits keep the low 32 bits. 0 if no digit is read.
std::uint32_t ParseHex(std::string_view text);
/// Removes blanks and tabs from both ends.
std::string TrimBlanks(std::string_view text);
/// Each tab replaced by the blanks up to the next multiple of `tab_width`
/// characters, counted from the start of its line (after CR or LF).
std::string ExpandTabs(std::string_view text, int tab_width);
/// The text without the white space (IsCSpace) at both ends.
inline std::string_view TrimCSpace(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsCSpace(text[begin])) ++begin;
  while (end > begin && IsCSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

/// Windows-1252 text as UTF-8. The five bytes the code page leaves
/// undefined (81, 8D, 8F, 90, 9D) become U+FFFD: as C1 controls a terminal
/// would act on them.
std::string Cp1252ToUtf8(std::string_view text);
/// Whether a locale's character set name (nl_langinfo(CODESET)) is UTF-8.
bool IsUtf8Codeset(std::string_view codeset);
/// Text for a console of the given character set: converted to UTF-8 for a
/// UTF-8 one, the bytes unchanged for any other.
std::string TextForConsole(std::string_view text, std::string_view codeset);

#endif  // PAGETRIX_BASE_TEXT_H_
