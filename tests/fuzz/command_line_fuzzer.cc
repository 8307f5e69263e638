// Quoting an argument list and splitting it again must give the same list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/command_line_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> words = SplitWindowsCommandLine(text);
  std::string joined;
  for (const std::string& word : words) {
    if (word.find('\0') != std::string::npos) return 0;
    if (!joined.empty()) joined += ' ';
    joined += QuoteWindowsArgument(word);
  }
  if (SplitWindowsCommandLine(joined) != words) std::abort();
  return 0;
}
