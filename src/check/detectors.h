/// Pure tests the check mode applies to single texts: each answers one
/// question about a key, a value, a line or a template, without reading files.
#ifndef PAGETRIX_CHECK_DETECTORS_H_
#define PAGETRIX_CHECK_DETECTORS_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// A key folded for a loose comparison: ASCII letters in lower case, the
/// umlauts and sharp s spelled out (Windows-1252 and UTF-8 forms alike), and
/// blanks, hyphens and underscores left out.
std::string FoldKeyForComparison(std::string_view key);

/// Edit distance with adjacent transpositions counted as one edit.
size_t EditDistance(std::string_view a, std::string_view b);

/// True if `name` is one of `candidates` apart from ASCII letter case.
bool IsOneOfNoCase(std::string_view name, std::span<const std::string_view> candidates);

/// The name among `candidates` that `key` is probably a misspelling of:
/// not equal to it apart from ASCII letter case, but equal once folded, or
/// within one edit (names of up to six letters) or two edits (longer ones).
/// Empty when there is none; keys made only of digits never match.
std::string NearMissName(std::string_view key, std::span<const std::string_view> candidates);
inline std::string NearMissName(std::string_view key,
                                std::initializer_list<std::string_view> candidates) {
  return NearMissName(key,
                      std::span<const std::string_view>(candidates.begin(), candidates.size()));
}

/// True if the text begins with the UTF-8 byte-order mark.
bool StartsWithUtf8Bom(std::string_view bytes);
/// Offset of the first well-formed UTF-8 multi-byte sequence in the text
/// (which Windows-1252 shows as two or three odd characters), or npos.
size_t FindUtf8Sequence(std::string_view text);

/// How a rights or flag text reads.
enum class HexText {
  kEmpty,
  kEightDigits,  ///< exactly eight hexadecimal digits, nothing else
  kReadable,     ///< read as a number, but not written as eight digits
  kNotHex,       ///< no hexadecimal digit at its start: read as 0
};
HexText ClassifyHexText(std::string_view text);

/// The link flag bits that have a meaning: new window, not from CD, tree
/// flag, and the server prohibition bits.
inline constexpr std::uint32_t kMeaningfulLinkFlags = 0xFFFF0007;
/// A rights word that names only forbidden groups: the link is shown to
/// every user who is not barred from one of them.
inline bool HasOnlyHighRights(std::uint32_t rights) {
  return rights != 0 && (rights & 0x0000FFFF) == 0;
}

/// Where a placeholder stands in a template line.
struct PlaceholderSpot {
  bool inside_word = false;  ///< a letter or digit touches it
  bool in_title = false;     ///< between <title> and </title>
  bool in_tag = false;       ///< inside the angle brackets of a tag
};
/// The spots of a template's lines, each line looked at once: `lines` are
/// the template's lines in order.
class TemplateSpots {
 public:
  explicit TemplateSpots(std::vector<std::string_view> lines);
  /// The spot of `length` bytes at `column` of the 1-based `line`.
  PlaceholderSpot At(size_t line, size_t column, size_t length);

 private:
  std::vector<std::string_view> lines_;
  std::vector<bool> title_at_start_;  // per line: inside a title when it begins
  size_t cached_line_ = 0;
  std::vector<bool> title_, tag_;  // per byte of the cached line
};

/// The charset a template declares in a meta tag, in lower case; empty when
/// it declares none.
std::string DeclaredCharset(std::string_view html);
/// True for the charsets whose bytes are those of Windows-1252 text.
bool IsAnsiCharset(std::string_view charset);

/// The first backslash of `text` that the tree menu's script reads as an
/// escape that changes the text (as in \\srv\share), or npos. The menu
/// writer escapes quotes itself and writes a backslash no script could read
/// (at the end, before a broken \x or \u) as a backslash; a doubled
/// backslash and a backslash before a quote are escapes the author meant.
size_t FindScriptBreaker(std::string_view text);
/// True for a link that names a file beside the page: no scheme, no
/// absolute or network path, no anchor-only or script link.
bool IsRelativeLink(std::string_view link);
/// The file part of a relative link: without "#..." and "?...".
std::string LinkFileName(std::string_view link);

/// True if the text holds "*" or "?".
inline bool HasWildcard(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}
/// True if the text is a decimal integer (an optional sign, digits) and nothing else.
bool IsPlainInteger(std::string_view text);

#endif  // PAGETRIX_CHECK_DETECTORS_H_
