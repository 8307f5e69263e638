// Placeholder replacement must end for any value, placeholder and replacement.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/environment.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  // Three parts separated by NUL bytes: value, placeholder, replacement.
  size_t first = input.find('\0');
  if (first == std::string::npos) return 0;
  size_t second = input.find('\0', first + 1);
  if (second == std::string::npos) return 0;
  std::string value = input.substr(0, first);
  std::string placeholder = input.substr(first + 1, second - first - 1);
  std::string replacement = input.substr(second + 1);
  ReplacePlaceholder(value, placeholder, replacement);
  return 0;
}
