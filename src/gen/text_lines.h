/// The lines of a text file as the generator reads a template.
#ifndef PAGETRIX_GEN_TEXT_LINES_H_
#define PAGETRIX_GEN_TEXT_LINES_H_

#include <string_view>

/// Calls `line(text)` for each line of `bytes`: 0x1A ends the file, CR LF
/// and a lone LF end a line, and a last line without a line break still
/// counts. Stops when `line` returns false; false then.
template <typename LineFn>
bool ForEachTextLine(std::string_view bytes, LineFn line) {
  size_t end = bytes.find('\x1A');
  if (end != std::string_view::npos) bytes = bytes.substr(0, end);
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    size_t line_end = lf == std::string_view::npos ? bytes.size() : lf;
    std::string_view text = bytes.substr(pos, line_end - pos);
    if (lf != std::string_view::npos && !text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (!line(text)) return false;
    pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
  }
  return true;
}

#endif  // PAGETRIX_GEN_TEXT_LINES_H_
