#include "gen/placeholder_matcher.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>
#include <string_view>

#include "base/text.h"

namespace {

// The high bit of every zero byte of `x`; in little-endian order the lowest
// mark is exact, higher ones may also stand above a zero byte. `x` is a word
// of text XOR a byte repeated: its zero bytes are where the text holds it.
std::uint64_t ZeroByteMarks(std::uint64_t x) {
  return (x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull;
}

}  // namespace

PlaceholderMatcher::PlaceholderMatcher(const std::vector<std::string>& upper_names) {
  for (int b = 0; b < 256; ++b)
    upper_[b] = static_cast<unsigned char>(ToUpperAnsi(static_cast<char>(b)));

  // Distinct names, sorted, so that the names below one trie node are adjacent.
  std::vector<std::uint32_t>& order = sorted_entries_;
  order.resize(upper_names.size());
  std::iota(order.begin(), order.end(), 0u);
  // Stable: the entries of one name stay ascending.
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return upper_names[a] < upper_names[b];
  });
  entry_pattern_.resize(upper_names.size());
  std::vector<std::string_view> patterns;
  for (std::uint32_t i = 0; i < order.size(); ++i) {
    const std::uint32_t entry = order[i];
    if (patterns.empty() || patterns.back() != upper_names[entry]) {
      patterns.push_back(upper_names[entry]);
      pattern_begin_.push_back(i);
      pattern_length_.push_back(static_cast<std::uint32_t>(upper_names[entry].size()));
      max_length_ = std::max(max_length_, pattern_length_.back());
    }
    entry_pattern_[entry] = static_cast<std::uint32_t>(patterns.size() - 1);
  }
  pattern_begin_.push_back(static_cast<std::uint32_t>(order.size()));

  // Breadth first: the children of a node are made together, in byte order.
  struct Range {
    std::uint32_t lo, hi, depth;
  };
  std::vector<Range> ranges{{0, static_cast<std::uint32_t>(patterns.size()), 0}};
  nodes_.emplace_back();
  node_byte_.push_back(0);
  for (std::uint32_t v = 0; v < nodes_.size(); ++v) {
    Range range = ranges[v];
    std::uint32_t i = range.lo;
    if (i < range.hi && patterns[i].size() == range.depth) {
      nodes_[v].pattern = static_cast<std::int32_t>(i);
      ++i;
    }
    nodes_[v].first_child = static_cast<std::uint32_t>(nodes_.size());
    while (i < range.hi) {
      unsigned char byte = static_cast<unsigned char>(patterns[i][range.depth]);
      std::uint32_t j = i;
      while (j < range.hi && static_cast<unsigned char>(patterns[j][range.depth]) == byte) ++j;
      nodes_.emplace_back();
      node_byte_.push_back(byte);
      ranges.push_back(Range{i, j, range.depth + 1});
      ++nodes_[v].child_count;
      i = j;
    }
  }

  const Node& root = nodes_[0];
  for (std::uint32_t c = root.first_child; c < root.first_child + root.child_count; ++c)
    root_next_[node_byte_[c]] = c;
  int starts = 0;
  for (int b = 0; b < 256; ++b) {
    root_raw_[b] = root_next_[upper_[b]];
    if (root_raw_[b] == 0) continue;
    if (starts < 4) start_words_[starts] = 0x0101010101010101ull * static_cast<std::uint64_t>(b);
    ++starts;
  }
  start_word_count_ = starts <= 4 ? starts : 0;

  // The raw bytes of each upper-case byte, grouped by it, for the pairs a
  // name may begin with: raw_bytes[raw_begin[u] .. raw_begin[u + 1]).
  unsigned char raw_bytes[256];
  unsigned raw_begin[257] = {};
  for (int b = 0; b < 256; ++b) ++raw_begin[upper_[b] + 1];
  for (int u = 0; u < 256; ++u) raw_begin[u + 1] += raw_begin[u];
  unsigned fill[256];
  for (int u = 0; u < 256; ++u) fill[u] = raw_begin[u];
  for (int b = 0; b < 256; ++b) raw_bytes[fill[upper_[b]]++] = static_cast<unsigned char>(b);
  start_pairs_.assign(65536 / 64, 0);
  const auto set_pair = [&](unsigned first, unsigned second) {
    const std::size_t bit = first * 256u + second;
    start_pairs_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  };
  for (std::string_view pattern : patterns) {
    const unsigned u0 = static_cast<unsigned char>(pattern[0]);
    for (unsigned i = raw_begin[u0]; i < raw_begin[u0 + 1]; ++i) {
      const unsigned first = raw_bytes[i];
      if (pattern.size() == 1) {
        for (unsigned second = 0; second < 256; ++second) set_pair(first, second);
        continue;
      }
      const unsigned u1 = static_cast<unsigned char>(pattern[1]);
      for (unsigned k = raw_begin[u1]; k < raw_begin[u1 + 1]; ++k) set_pair(first, raw_bytes[k]);
    }
  }
  // Suffix links in breadth-first order: a node's link is shallower than it.
  for (std::uint32_t v = 0; v < nodes_.size(); ++v) {
    for (std::uint32_t c = nodes_[v].first_child; c < nodes_[v].first_child + nodes_[v].child_count;
         ++c) {
      std::uint32_t fail = v == 0 ? 0 : Step(nodes_[v].fail, node_byte_[c]);
      nodes_[c].fail = fail;
      nodes_[c].output = nodes_[fail].pattern >= 0 ? fail : nodes_[fail].output;
    }
  }
}

std::size_t PlaceholderMatcher::SkipToStart(const char* data, std::size_t from, std::size_t size,
                                            std::size_t& free_to) const {
  std::size_t held = std::string_view::npos;
  std::size_t held_run = 0;  // first of the start bytes passed over in a row up to held
  // Whether a name may begin at i; a start byte passed over is remembered.
  const auto starts_at = [&](std::size_t i) {
    const unsigned char first = static_cast<unsigned char>(data[i]);
    if (root_raw_[first] == 0) return false;
    // At the end of the text the next byte is not known yet.
    if (i + 1 == size || MayStartWith(first, static_cast<unsigned char>(data[i + 1]))) return true;
    if (held == std::string_view::npos || held + 1 != i) held_run = i;
    held = i;
    return false;
  };
  const auto result = [&](std::size_t i) {
    // A start byte right before this one can join it once it is replaced;
    // that replacement can in turn bring the start byte before it a name,
    // and so on back through all such bytes in a row.
    free_to = i < size && held != std::string_view::npos && held + 1 == i ? held_run : i;
    return i;
  };
  std::size_t i = from;
  if (start_word_count_ > 0) {
    for (; i + 8 <= size; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, data + i, 8);
      std::uint64_t found = 0;
      // Marks above the lowest may be false: each is checked.
      for (int k = 0; k < start_word_count_; ++k) found |= ZeroByteMarks(word ^ start_words_[k]);
      // The marks count from the first byte only in little-endian order.
      if constexpr (std::endian::native != std::endian::little) {
        found = found != 0 ? 0x8080808080808080ull : 0;
      }
      while (found != 0) {
        const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(found)) / 8;
        if (starts_at(at)) return result(at);
        found &= found - 1;
      }
    }
  }
  for (; i < size; ++i) {
    if (starts_at(i)) return result(i);
  }
  return result(size);
}
