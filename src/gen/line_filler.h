/// Replaces the placeholders of template lines, writing each line as it is made.
#ifndef PAGETRIX_GEN_LINE_FILLER_H_
#define PAGETRIX_GEN_LINE_FILLER_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <queue>
#include <string>
#include <string_view>
#include <vector>

#include "gen/placeholder_matcher.h"
#include "gen/text_sink.h"

/// Fills template lines. For each name of the list in order, the first
/// occurrence in the line as changed so far (inserted text included) is
/// replaced by what the producer writes for that list entry; names earlier in
/// the list are not searched again.
///
/// Nothing is searched twice: the line is read once, each inserted block is
/// read as it is produced, and text is written out as soon as no later name
/// can still change it. A block that no later name can reach goes straight
/// to the output; only text a later name may still replace is kept.
class LineFiller {
 public:
  /// Writes the block of list entry `entry` into `sink`.
  using Producer = std::function<void(std::size_t entry, TextSink& sink)>;

  LineFiller(const PlaceholderMatcher& matcher, TextSink& out);
  LineFiller(const LineFiller&) = delete;
  LineFiller& operator=(const LineFiller&) = delete;

  /// Writes `line` (without its line break) with its placeholders replaced.
  void FillLine(std::string_view line, const Producer& produce);

  /// Where the name being replaced begins, for the producer to ask.
  struct Occurrence {
    bool in_line = true;          ///< in the line's own text, else in an inserted block
    std::size_t column = 0;       ///< in_line: its byte offset in the line
    std::size_t block_entry = 0;  ///< else: the list entry whose block holds it
  };
  const Occurrence& current_occurrence() const { return occurrence_; }

 private:
  // A run of bytes of the line: from the template line (source 0) or from
  // one of the blocks inserted into it.
  struct Piece {
    std::uint32_t source;
    std::size_t offset;
    std::size_t size;
    std::uint64_t start;  // position in the line; kept up to date while scanned
  };
  // The first occurrence of a pattern in the scanned part of the line.
  struct Record {
    std::uint32_t pattern;
    std::uint64_t start;
    std::uint64_t end;
    std::uint64_t safe;  // the last position before start where no name was begun
  };
  // One for every distinct name of the page: kept small, as pages may have
  // a hundred thousand.
  struct PatternState {
    std::uint32_t next = 0;    // first of its entries not yet done
    std::int32_t record = -1;  // index into records_; at most one per pattern
    bool queued = false;
    bool touched = false;
  };
  class BlockSink final : public TextSink {
   public:
    explicit BlockSink(LineFiller& filler) : filler_(filler) {}
    void Append(std::string_view text) override { filler_.AppendBlock(text); }

   private:
    LineFiller& filler_;
  };

  const char* Data(const Piece& piece) const;
  bool Pending(std::uint32_t pattern);
  void Discover(std::uint32_t pattern, std::uint64_t end);
  std::size_t Scan(const char* data, std::size_t size, std::int64_t target);
  bool FindInUnscanned(std::uint32_t pattern);
  void Replace(std::uint32_t pattern, std::size_t entry, const Producer& produce);
  void MoveBackToUnscanned(std::uint64_t pos);
  void DropScannedFrom(std::uint64_t pos);
  void WarmUp(std::uint64_t pos);
  void ScanIntoTail(std::size_t bytes);
  void AppendBlock(std::string_view text);
  void EmitUpTo(std::uint64_t limit);
  std::uint64_t EmitLimit() const;
  void Touch(std::uint32_t pattern);
  void PushScanned(const Piece& piece);
  void Reset();

  const PlaceholderMatcher& matcher_;
  TextSink& out_;
  BlockSink block_sink_;

  std::string_view line_;
  std::vector<std::string> blocks_;         // block i is source i + 1
  std::vector<std::size_t> block_entries_;  // the list entry that made block i
  std::size_t blocks_used_ = 0;
  std::uint32_t block_source_ = 0;  // the block being produced
  std::deque<Piece> scanned_;       // from the first byte not yet written up to frontier_
  std::vector<Piece> unscanned_;    // the rest of the line; back() comes next
  std::uint64_t frontier_ = 0;
  std::uint64_t emitted_ = 0;
  std::uint32_t state_ = 0;
  // The last scanned position where no name has begun: no later change can
  // reach back past it, so text before it may be written out.
  std::uint64_t last_root_ = 0;
  bool scanning_ = true;  // false once no later name is left to find

  std::vector<Record> records_;  // by end, which only grows between truncations
  std::vector<PatternState> patterns_;
  std::vector<std::uint32_t> touched_;
  std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<std::size_t>> queue_;
  std::int64_t current_ = -1;  // the list entry being filled; earlier ones are done
  Occurrence occurrence_;
};

#endif  // PAGETRIX_GEN_LINE_FILLER_H_
