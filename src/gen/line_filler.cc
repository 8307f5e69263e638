#include "gen/line_filler.h"

#include <algorithm>

// How the line is held: the part already searched (scanned_, with the
// positions of its pieces) and the part not yet searched (unscanned_). A name
// found at P changes the line only from P on, so everything searched before P
// stays valid: the search goes back to P, the bytes after the name go back to
// the unsearched part, and the inserted block is searched as it is written.
// Every name found on the way is remembered with its first occurrence, and
// only names that can still occur are taken from the queue, in list order.

LineFiller::LineFiller(const PlaceholderMatcher& matcher, TextSink& out)
    : matcher_(matcher), out_(out), block_sink_(*this), patterns_(matcher.PatternCount()) {}

const char* LineFiller::Data(const Piece& piece) const {
  const char* base = piece.source == 0 ? line_.data() : blocks_[piece.source - 1].data();
  return base + piece.offset;
}

void LineFiller::Touch(std::uint32_t pattern) {
  if (patterns_[pattern].touched) return;
  patterns_[pattern].touched = true;
  touched_.push_back(pattern);
}

bool LineFiller::Pending(std::uint32_t pattern) {
  PatternState& state = patterns_[pattern];
  const std::span<const std::uint32_t> entries = matcher_.EntriesOf(pattern);
  if (state.next < entries.size() && static_cast<std::int64_t>(entries[state.next]) <= current_) {
    Touch(pattern);
    while (state.next < entries.size() &&
           static_cast<std::int64_t>(entries[state.next]) <= current_)
      ++state.next;
  }
  return state.next < entries.size();
}

void LineFiller::Discover(std::uint32_t pattern, std::uint64_t end) {
  if (!Pending(pattern)) return;
  PatternState& state = patterns_[pattern];
  Touch(pattern);
  if (state.record < 0) {
    state.record = static_cast<std::int32_t>(records_.size());
    // No position inside an occurrence is free of a begun name, so last_root_
    // lies at or before its start.
    records_.push_back(Record{pattern, end - matcher_.Length(pattern), end, last_root_});
  }
  if (!state.queued) {
    state.queued = true;
    queue_.push(matcher_.EntriesOf(pattern)[state.next]);
  }
}

std::size_t LineFiller::Scan(const char* data, std::size_t size, std::int64_t target) {
  std::uint32_t s = state_;
  std::size_t i = 0;
  while (i < size) {
    if (s == 0) {
      // Most bytes start no name: skip them without the automaton.
      std::size_t free_to = 0;
      i = matcher_.SkipToStart(data, i, size, free_to);
      last_root_ = frontier_ + free_to;
      if (i == size) break;
      s = matcher_.RootStepRaw(data[i]);
    } else {
      s = matcher_.Step(s, matcher_.Upper(data[i]));
    }
    ++i;
    if (s == 0) last_root_ = frontier_ + i;
    if (matcher_.HasOutput(s)) {
      const std::uint64_t end = frontier_ + i;
      bool hit = false;
      for (std::uint32_t t = matcher_.PatternAt(s) >= 0 ? s : matcher_.NextOutput(s); t != 0;
           t = matcher_.NextOutput(t)) {
        std::uint32_t pattern = static_cast<std::uint32_t>(matcher_.PatternAt(t));
        Discover(pattern, end);
        if (static_cast<std::int64_t>(pattern) == target) hit = true;
      }
      if (hit) break;
    }
  }
  state_ = s;
  frontier_ += i;
  return i;
}

void LineFiller::PushScanned(const Piece& piece) {
  if (piece.size == 0) return;
  if (!scanned_.empty()) {
    Piece& back = scanned_.back();
    if (back.source == piece.source && back.offset + back.size == piece.offset) {
      back.size += piece.size;
      return;
    }
  }
  scanned_.push_back(piece);
}

bool LineFiller::FindInUnscanned(std::uint32_t pattern) {
  while (patterns_[pattern].record < 0 && !unscanned_.empty()) {
    Piece piece = unscanned_.back();
    unscanned_.pop_back();
    piece.start = frontier_;
    std::size_t done = Scan(Data(piece), piece.size, pattern);
    PushScanned(Piece{piece.source, piece.offset, done, piece.start});
    if (done < piece.size) {
      unscanned_.push_back(Piece{piece.source, piece.offset + done, piece.size - done, 0});
    }
  }
  return patterns_[pattern].record >= 0;
}

void LineFiller::MoveBackToUnscanned(std::uint64_t pos) {
  while (!scanned_.empty()) {
    Piece& back = scanned_.back();
    if (back.start >= pos) {
      unscanned_.push_back(back);
      scanned_.pop_back();
      continue;
    }
    if (back.start + back.size > pos) {
      std::size_t keep = static_cast<std::size_t>(pos - back.start);
      unscanned_.push_back(Piece{back.source, back.offset + keep, back.size - keep, pos});
      back.size = keep;
    }
    break;
  }
}

void LineFiller::DropScannedFrom(std::uint64_t pos) {
  while (!scanned_.empty()) {
    Piece& back = scanned_.back();
    if (back.start >= pos) {
      scanned_.pop_back();
      continue;
    }
    if (back.start + back.size > pos) back.size = static_cast<std::size_t>(pos - back.start);
    break;
  }
}

void LineFiller::WarmUp(std::uint64_t pos) {
  // The automaton's state at pos depends only on the bytes just before it;
  // emitted_ is a position where no name was begun.
  state_ = 0;
  last_root_ = emitted_;
  if (!scanning_) return;
  const std::uint64_t context = matcher_.MaxLength() - 1;
  const std::uint64_t from = std::max<std::uint64_t>(pos > context ? pos - context : 0, emitted_);
  std::size_t j = scanned_.size();
  while (j > 0 && scanned_[j - 1].start + scanned_[j - 1].size > from) --j;
  for (; j < scanned_.size(); ++j) {
    const Piece& piece = scanned_[j];
    const char* data = Data(piece);
    std::size_t skip = piece.start < from ? static_cast<std::size_t>(from - piece.start) : 0;
    for (std::size_t i = skip; i < piece.size; ++i)
      state_ = matcher_.Step(state_, matcher_.Upper(data[i]));
  }
  // Free of a begun name only if the whole context was seen.
  if (state_ == 0 && (from == emitted_ || pos - from >= context)) last_root_ = pos;
}

void LineFiller::ScanIntoTail(std::size_t bytes) {
  while (bytes > 0 && !unscanned_.empty()) {
    Piece piece = unscanned_.back();
    unscanned_.pop_back();
    std::size_t take = std::min(bytes, piece.size);
    piece.start = frontier_;
    Scan(Data(piece), take, -1);
    PushScanned(Piece{piece.source, piece.offset, take, piece.start});
    if (take < piece.size)
      unscanned_.push_back(Piece{piece.source, piece.offset + take, piece.size - take, 0});
    bytes -= take;
  }
}

std::uint64_t LineFiller::EmitLimit() const {
  if (!scanning_) return frontier_;
  // Later replacements start at remembered occurrences or past last_root_,
  // and what they join can reach back no further than a position where no
  // name had begun.
  std::uint64_t limit = last_root_;
  if (!records_.empty()) limit = std::min(limit, records_.front().safe);
  return limit;
}

void LineFiller::EmitUpTo(std::uint64_t limit) {
  while (emitted_ < limit && !scanned_.empty()) {
    Piece& front = scanned_.front();
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(front.size, limit - emitted_));
    out_.Append(std::string_view(Data(front), n));
    emitted_ += n;
    if (n == front.size) {
      scanned_.pop_front();
    } else {
      front.offset += n;
      front.size -= n;
      front.start += n;
    }
  }
}

void LineFiller::AppendBlock(std::string_view text) {
  if (text.empty()) return;
  const std::uint64_t begin = frontier_;
  if (scanning_) {
    Scan(text.data(), text.size(), -1);
  } else {
    frontier_ += text.size();
  }
  const std::uint64_t limit = EmitLimit();
  EmitUpTo(std::min(limit, begin));
  std::uint64_t at = begin;
  if (emitted_ == begin && limit > begin) {
    // Nothing before it is still open: this part goes straight out.
    std::size_t direct =
        static_cast<std::size_t>(std::min<std::uint64_t>(limit - begin, text.size()));
    out_.Append(text.substr(0, direct));
    emitted_ += direct;
    at += direct;
    text.remove_prefix(direct);
  }
  if (text.empty()) return;
  std::string& buffer = blocks_[block_source_ - 1];
  bool extends = !scanned_.empty() && scanned_.back().source == block_source_;
  if (!extends) {
    buffer.clear();  // what it held is written out; no piece refers to it
  } else if (scanned_.back().offset >= 65536 && scanned_.back().offset >= buffer.size() / 2) {
    // Only this piece refers to the block while it is made: drop the written front.
    buffer.erase(0, scanned_.back().offset);
    scanned_.back().offset = 0;
  }
  PushScanned(Piece{block_source_, buffer.size(), text.size(), at});
  buffer.append(text);
}

void LineFiller::Replace(std::uint32_t pattern, std::size_t entry, const Producer& produce) {
  const Record found = records_[patterns_[pattern].record];
  // Nothing from the name's start on has been written out yet.
  occurrence_ = Occurrence{false, 0};
  for (auto piece = scanned_.rbegin(); piece != scanned_.rend(); ++piece) {
    if (piece->start > found.start) continue;
    if (piece->source == 0 && found.start < piece->start + piece->size)
      occurrence_ =
          Occurrence{true, piece->offset + static_cast<std::size_t>(found.start - piece->start)};
    if (piece->source != 0) occurrence_.block_entry = block_entries_[piece->source - 1];
    break;
  }
  // Whatever ends past the start of the name may change: search it again.
  while (!records_.empty() && records_.back().end > found.start) {
    patterns_[records_.back().pattern].record = -1;
    records_.pop_back();
  }
  MoveBackToUnscanned(found.end);
  DropScannedFrom(found.start);
  frontier_ = found.start;
  WarmUp(found.start);

  if (blocks_used_ == blocks_.size()) {
    blocks_.emplace_back();
    block_entries_.emplace_back();
  }
  blocks_[blocks_used_].clear();
  block_entries_[blocks_used_] = entry;
  block_source_ = static_cast<std::uint32_t>(++blocks_used_);
  produce(entry, block_sink_);
  // A name may run from the block into the text after it.
  if (scanning_) ScanIntoTail(matcher_.MaxLength() - 1);
  EmitUpTo(EmitLimit());
}

void LineFiller::FillLine(std::string_view line, const Producer& produce) {
  line_ = line;
  current_ = -1;
  scanning_ = matcher_.EntryCount() > 0;
  // The whole line first: which names stand in it decides the order.
  if (scanning_) Scan(line.data(), line.size(), -1);
  if (queue_.empty()) {
    out_.Append(line);
    Reset();
    return;
  }
  // What the first replacement changes is searched again from its start.
  PushScanned(Piece{0, 0, line.size(), 0});

  while (!queue_.empty()) {
    const std::size_t entry = queue_.top();
    queue_.pop();
    const std::uint32_t pattern = matcher_.PatternOfEntry(entry);
    // Still marked queued while it is searched, so that finding it does not
    // queue the same entry again.
    current_ = static_cast<std::int64_t>(entry) - 1;
    bool found = FindInUnscanned(pattern);
    current_ = static_cast<std::int64_t>(entry);
    scanning_ = entry + 1 < matcher_.EntryCount();
    patterns_[pattern].queued = false;
    if (found) Replace(pattern, entry, produce);
    if (!patterns_[pattern].queued && Pending(pattern)) {
      // It may stand in the line once more.
      patterns_[pattern].queued = true;
      queue_.push(matcher_.EntriesOf(pattern)[patterns_[pattern].next]);
    }
  }
  EmitUpTo(frontier_);
  while (!unscanned_.empty()) {
    out_.Append(std::string_view(Data(unscanned_.back()), unscanned_.back().size));
    unscanned_.pop_back();
  }
  Reset();
}

void LineFiller::Reset() {
  for (std::uint32_t pattern : touched_) patterns_[pattern] = PatternState{};
  touched_.clear();
  records_.clear();
  scanned_.clear();
  unscanned_.clear();
  while (!queue_.empty()) queue_.pop();
  blocks_used_ = 0;
  block_source_ = 0;
  frontier_ = 0;
  emitted_ = 0;
  state_ = 0;
  last_root_ = 0;
  current_ = -1;
  line_ = std::string_view();
}
