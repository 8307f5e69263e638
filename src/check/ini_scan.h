/// The lines of an INI file with what the reader made of each, so that the
/// check can name line numbers, which the reader itself does not keep.
#ifndef PAGETRIX_CHECK_INI_SCAN_H_
#define PAGETRIX_CHECK_INI_SCAN_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class IniLineKind {
  kIgnored,             ///< empty, or a comment beginning with ";" or ":"
  kHeader,              ///< a section header
  kKey,                 ///< a key line the reader keeps
  kNoEquals,            ///< a key line without "=": ignored, the load reports 4
  kBeforeFirstSection,  ///< text before the first header: dropped silently
};

struct IniLine {
  size_t number = 0;  ///< 1-based line of the file
  std::string raw;    ///< the piece as read, without its line end
  IniLineKind kind = IniLineKind::kIgnored;
  std::string section;  ///< the section it belongs to (a header: its own name)
  std::string key;      ///< kKey: key and value as the reader stores them
  std::string value;
  std::string cut_off;  ///< text a blank or tab followed by ";" cut from the line
  bool piece = false;   ///< a later piece of a line longer than the reader's limit
};

/// Every line of the file in order, each classified by the reader itself.
std::vector<IniLine> ScanIniLines(std::string_view bytes);

/// The first key line of `section` with `key` (ASCII case ignored), or null.
const IniLine* FindKeyLine(const std::vector<IniLine>& lines, std::string_view section,
                           std::string_view key);
/// The header line of the first section named `section`, or null.
const IniLine* FindHeaderLine(const std::vector<IniLine>& lines, std::string_view section);

#endif  // PAGETRIX_CHECK_INI_SCAN_H_
