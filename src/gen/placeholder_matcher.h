/// Finds many placeholder names at once in text that is upper-cased on the fly.
#ifndef PAGETRIX_GEN_PLACEHOLDER_MATCHER_H_
#define PAGETRIX_GEN_PLACEHOLDER_MATCHER_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

/// A keyword automaton over the upper-case placeholder names of a page. The
/// same name may stand in the list more than once (sections of one name);
/// each distinct name is one pattern with its list entries in order.
class PlaceholderMatcher {
 public:
  /// `upper_names`: the names in list order, upper-cased, none empty.
  explicit PlaceholderMatcher(const std::vector<std::string>& upper_names);

  std::uint32_t PatternOfEntry(std::size_t entry) const { return entry_pattern_[entry]; }
  /// The list entries of a pattern, ascending.
  std::span<const std::uint32_t> EntriesOf(std::uint32_t pattern) const {
    return std::span<const std::uint32_t>(sorted_entries_)
        .subspan(pattern_begin_[pattern], pattern_begin_[pattern + 1] - pattern_begin_[pattern]);
  }
  std::size_t PatternCount() const { return pattern_begin_.size() - 1; }
  std::size_t EntryCount() const { return entry_pattern_.size(); }
  std::uint32_t Length(std::uint32_t pattern) const { return pattern_length_[pattern]; }
  std::uint32_t MaxLength() const { return max_length_; }

  /// The byte as the name search sees it (Windows-1252 upper case).
  unsigned char Upper(char c) const { return upper_[static_cast<unsigned char>(c)]; }
  /// The state after reading one more byte (already upper-cased).
  std::uint32_t Step(std::uint32_t state, unsigned char byte) const {
    while (state != 0) {
      const Node& node = nodes_[state];
      if (const std::uint32_t child = Child(node, byte)) return child;
      state = node.fail;
    }
    return root_next_[byte];
  }
  /// The state after a byte read in the start state, the byte as it stands
  /// in the text (not yet upper-cased); from the start most bytes lead nowhere.
  std::uint32_t RootStepRaw(char c) const { return root_raw_[static_cast<unsigned char>(c)]; }
  /// The first position from `from` on where a name may begin; `size` if
  /// none. `free_to` gets the last position before which no name has begun
  /// even if text is replaced from the result on: a start byte passed over
  /// for the byte after it begins a name once that byte is replaced, which
  /// happens only where a name begins: at the result, or at a start byte
  /// passed over right before it, and so on backwards.
  std::size_t SkipToStart(const char* data, std::size_t from, std::size_t size,
                          std::size_t& free_to) const;
  /// The pattern ending in `state` (-1 if none) and the next state on its
  /// suffix chain where one ends (0 if none).
  std::int32_t PatternAt(std::uint32_t state) const { return nodes_[state].pattern; }
  std::uint32_t NextOutput(std::uint32_t state) const { return nodes_[state].output; }
  bool HasOutput(std::uint32_t state) const {
    return nodes_[state].pattern >= 0 || nodes_[state].output != 0;
  }

 private:
  struct Node {
    std::uint32_t first_child = 0;
    std::uint32_t child_count = 0;
    std::uint32_t fail = 0;
    std::uint32_t output = 0;
    std::int32_t pattern = -1;
  };

  // The child of `node` for `byte`, 0 if none. Children stand in byte
  // order; names that differ in a counter give runs of adjacent bytes, so
  // the child is first looked up at its byte's distance from the first one.
  std::uint32_t Child(const Node& node, unsigned char byte) const {
    const std::uint32_t first = node.first_child;
    const std::uint32_t count = node.child_count;
    if (count == 0) return 0;
    const unsigned char low = node_byte_[first];
    if (byte < low) return 0;
    // A child's index never exceeds its byte's distance from the first.
    const std::uint32_t offset = byte - low;
    if (offset < count && node_byte_[first + offset] == byte) return first + offset;
    const std::uint32_t end = first + (offset < count ? offset : count);
    for (std::uint32_t c = first + 1; c < end; ++c) {
      if (node_byte_[c] == byte) return c;
    }
    return 0;
  }

  std::vector<Node> nodes_;
  std::vector<unsigned char> node_byte_;  // the byte that leads into each node
  std::uint32_t root_next_[256] = {};
  std::uint32_t root_raw_[256] = {};
  // The bytes that begin a name, each repeated over a word, when they are
  // few: eight bytes are then skipped at a time.
  std::uint64_t start_words_[4] = {};
  int start_word_count_ = 0;
  // Bit b0 * 256 + b1: some name begins with the raw bytes b0 b1 (or is b0
  // alone), so that a start byte followed by a byte no name has next is
  // passed over too.
  std::vector<std::uint64_t> start_pairs_;
  bool MayStartWith(unsigned char first, unsigned char second) const {
    const std::size_t bit = first * 256u + second;
    return (start_pairs_[bit / 64] >> (bit % 64)) & 1u;
  }
  unsigned char upper_[256] = {};
  std::vector<std::uint32_t> entry_pattern_;
  // The entries sorted by name, each name's in list order: those of
  // pattern p are sorted_entries_[pattern_begin_[p] .. pattern_begin_[p + 1]).
  std::vector<std::uint32_t> sorted_entries_;
  std::vector<std::uint32_t> pattern_begin_;
  std::vector<std::uint32_t> pattern_length_;
  std::uint32_t max_length_ = 0;
};

#endif  // PAGETRIX_GEN_PLACEHOLDER_MATCHER_H_
