// Fills a fuzzed line with fuzzed names and blocks, and checks the result
// against the rule written out the plain way (an upper-cased copy of the line
// searched for each name in turn).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "gen/line_filler.h"
#include "gen/placeholder_matcher.h"
#include "gen/text_sink.h"

namespace {

// Input: line, then name/block pairs, all separated by byte 0x01.
std::vector<std::string> Split(std::string_view data) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (true) {
    size_t cut = data.find('\x01', pos);
    parts.emplace_back(data.substr(pos, cut == std::string_view::npos ? cut : cut - pos));
    if (cut == std::string_view::npos) return parts;
    pos = cut + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  std::vector<std::string> parts =
      Split(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string line = parts[0];
  std::vector<std::string> names, upper, blocks;
  for (size_t i = 1; i + 1 < parts.size() && names.size() < 64; i += 2) {
    if (parts[i].empty()) continue;
    names.push_back(parts[i]);
    upper.push_back(ToUpperAnsi(parts[i]));
    blocks.push_back(parts[i + 1]);
  }

  std::string expected = line;
  std::vector<size_t> expected_calls;
  for (size_t i = 0; i < names.size(); ++i) {
    size_t pos = ToUpperAnsi(expected).find(upper[i]);
    if (pos == std::string::npos) continue;
    expected_calls.push_back(i);
    expected.replace(pos, names[i].size(), blocks[i]);
    if (expected.size() > (1u << 20)) return 0;
  }

  PlaceholderMatcher matcher(upper);
  StringTextSink out;
  LineFiller filler(matcher, out);
  std::vector<size_t> calls;
  filler.FillLine(line, [&](size_t entry, TextSink& sink) {
    calls.push_back(entry);
    // In parts, as the writers hand over their rows.
    const std::string& block = blocks[entry];
    for (size_t at = 0; at < block.size(); at += 3)
      sink.Append(std::string_view(block).substr(at, 3));
  });
  if (out.text() != expected || calls != expected_calls) std::abort();
  return 0;
}
