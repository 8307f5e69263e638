#include "base/file_name.h"

#include <string>

#include "base/text.h"

bool IsDeviceName(std::string_view path) {
  size_t separator = path.find_last_of("\\/:");
  std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
  // Windows looks at the name up to its first dot, without trailing blanks.
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  const std::string upper = ToUpperAscii(stem);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (upper == device) return true;
  }
  if (upper.size() != 4 || (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0))
    return false;
  // Digits 1 to 9, and the superscripts one, two and three of Windows-1252.
  const unsigned char digit = static_cast<unsigned char>(upper[3]);
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    // A separator or colon would reach another folder, drive or stream.
    if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == ':') return false;
  }
  return !IsDeviceName(name);
}
