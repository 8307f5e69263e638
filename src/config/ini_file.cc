#include "config/ini_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "base/text.h"
#include "platform/file_reading.h"
#include "platform/platform.h"

namespace {

// Longest piece a line is read in, its line feed included.
constexpr std::uint32_t kMaxPiece = 1022;
// Sections with at most this many keys (all records of the name together)
// are searched key by key; larger ones too for their first few lookups (the
// settings of a large link section), and then through the key index, whose
// making costs about as much as that many walks.
constexpr std::uint32_t kScanLimit = 16;
constexpr std::uint32_t kWalksBeforeIndex = 8;

// ToUpperAscii as a table, for the hashes of many names.
struct FoldTable {
  unsigned char upper[256];
  FoldTable() {
    for (int c = 0; c < 256; ++c)
      upper[c] = static_cast<unsigned char>(ToUpperAscii(static_cast<char>(c)));
  }
};
const FoldTable kFold;

std::uint64_t HashFolded(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : text) hash = (hash ^ kFold.upper[static_cast<unsigned char>(c)]) * 1099511628211ull;
  // Names that differ in their last bytes only must not land side by side.
  hash ^= hash >> 33;
  hash *= 0xFF51AFD7ED558CCDull;
  hash ^= hash >> 33;
  return hash;
}

std::uint64_t KeyHash(std::uint32_t group, std::string_view key) {
  std::uint64_t hash = HashFolded(key) ^ (group * 0x9E3779B97F4A7C15ull);
  return hash ^ (hash >> 29);
}

size_t TableSizeFor(size_t count) {
  size_t size = 16;
  while (size < 2 * count) size *= 2;
  return size;
}

}  // namespace

void CIniFile::Clear() {
  text_.clear();
  text_.shrink_to_fit();
  sections_.clear();
  entries_.clear();
  groups_.clear();
  group_slots_.clear();
  steps_.clear();
  key_slots_.clear();
  key_index_built_ = false;
  rejected_.clear();
  line_starts_.clear();
}

int CIniFile::Load(FileSystem& files, const std::string& path) {
  Clear();
  file_name_ = path;
  ReadResult read = ReadFileToString(files, path, &text_);
  if (read == ReadResult::kCannotOpen || read == ReadResult::kNoMemory) {
    text_.clear();
    return read == ReadResult::kNoMemory ? 3 : 1;
  }
  int result = 0;
  try {
    // A read error keeps what was read before it.
    result = Parse();
  } catch (const std::bad_alloc&) {
    return 3;
  }
  return read == ReadResult::kReadError ? 2 : result;
}

int CIniFile::LoadFromBytes(std::string_view bytes) {
  Clear();
  try {
    text_.assign(bytes);
  } catch (const std::bad_alloc&) {
    return 3;
  }
  return Parse();
}

int CIniFile::Parse() {
  // Text mode: byte 0x1A ends the file and a CR before an LF is dropped.
  if (const void* end = std::memchr(text_.data(), '\x1A', text_.size()))
    text_.resize(static_cast<const char*>(end) - text_.data());
  // Spans are 32-bit; a larger text cannot be held.
  if (text_.size() > std::numeric_limits<std::uint32_t>::max() - kMaxPiece) return 3;

  // One pass over the lines, each parsed in pieces of at most kMaxPiece
  // bytes counted as text mode reads them, its line feed included. Only a CR
  // right before the LF is dropped, so a line's text stays where it is.
  const char* data = text_.data();
  const std::uint32_t size = static_cast<std::uint32_t>(text_.size());
  try {
    // Room for a key line every few dozen bytes and a section every few
    // lines up front spares the lists most of their regrowth copies; pages
    // never written cost nothing.
    entries_.reserve(size / 32);
    sections_.reserve(size / 128 + 16);
    groups_.reserve(size / 128 + 16);
  } catch (const std::bad_alloc&) {
  }
  std::uint32_t in = 0;
  int result = 0;
  try {
    while (in < size) {
      const size_t found = std::string_view(text_).find('\n', in);
      const bool lf = found != std::string_view::npos;
      const std::uint32_t line_end = lf ? static_cast<std::uint32_t>(found) : size;
      std::uint32_t length = line_end - in;
      if (lf && length > 0 && data[line_end - 1] == '\r') --length;
      // The line feed counts in the last piece but holds nothing to parse.
      const std::uint32_t counted = length + (lf ? 1 : 0);
      for (std::uint32_t pos = 0; pos < counted;) {
        const std::uint32_t piece_end = std::min(counted, pos + kMaxPiece);
        int code = ParsePiece(in + pos, in + std::min(piece_end, length), pos > 0);
        pos = piece_end;
        if (code != 0) result = code;
      }
      in = lf ? line_end + 1 : size;
    }
    BuildSteps();
  } catch (const std::bad_alloc&) {
    // What was read before stays; lookups of names seen so far still work.
    steps_.clear();
    try {
      BuildSteps();
    } catch (const std::bad_alloc&) {
      sections_.clear();
      entries_.clear();
      groups_.clear();
      group_slots_.clear();
    }
    return 3;
  }
  return result;
}

int CIniFile::ParsePiece(std::uint32_t begin, std::uint32_t end, bool later_piece) {
  const char* text = text_.data();
  if (end > begin && text[end - 1] == '\n') --end;
  while (begin < end && IsBlankOrTab(text[begin])) ++begin;
  while (end > begin && IsBlankOrTab(text[end - 1])) --end;
  if (begin == end || text[begin] == ';' || text[begin] == ':') return 0;
  const std::string_view piece(text, end);
  for (size_t semicolon = piece.find(';', begin + 1); semicolon != std::string_view::npos;
       semicolon = piece.find(';', semicolon + 1)) {
    if (IsBlankOrTab(text[semicolon - 1])) {
      end = static_cast<std::uint32_t>(semicolon) - 1;
      break;
    }
  }
  while (end > begin && IsBlankOrTab(text[end - 1])) --end;
  if (begin == end) return 0;

  std::string_view line(text + begin, end - begin);
  if (line[0] == '[' && line.find(']') != std::string_view::npos) {
    // Whatever stands last on a header line is taken for its closing bracket.
    AddSection(CIniSpan{begin + 1, end - begin - 2});
    return 0;
  }
  if (sections_.empty()) {
    rejected_.push_back(CIniRejected{CIniRejected::Kind::kBeforeFirstSection,
                                     CIniSpan{begin, end - begin}, later_piece});
    return 0;
  }
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    rejected_.push_back(
        CIniRejected{CIniRejected::Kind::kNoEquals, CIniSpan{begin, end - begin}, later_piece});
    return 4;
  }
  std::uint32_t key_begin = begin;
  std::uint32_t key_end = begin + static_cast<std::uint32_t>(eq);
  std::uint32_t value_begin = key_end + 1;
  std::uint32_t value_end = end;
  while (key_end > key_begin && IsBlankOrTab(text[key_end - 1])) --key_end;
  while (value_begin < value_end && IsBlankOrTab(text[value_begin])) ++value_begin;
  entries_.push_back(Entry{CIniSpan{key_begin, key_end - key_begin},
                           CIniSpan{value_begin, value_end - value_begin}});
  CIniSection& current = sections_.back();
  ++current.entry_count;
  ++groups_[current.group].total_entries;
  return 0;
}

void CIniFile::AddSection(CIniSpan name) {
  std::string_view name_text = View(name);
  const std::uint32_t hash = static_cast<std::uint32_t>(HashFolded(name_text));
  if (2 * (groups_.size() + 1) > group_slots_.size()) {
    std::vector<GroupSlot> slots(TableSizeFor(groups_.size() + 1));
    size_t mask = slots.size() - 1;
    for (std::uint32_t g = 0; g < groups_.size(); ++g) {
      size_t i = groups_[g].hash & mask;
      while (slots[i].group_plus_one != 0) i = (i + 1) & mask;
      slots[i] = GroupSlot{g + 1, groups_[g].hash};
    }
    group_slots_.swap(slots);
  }
  const std::uint32_t index = static_cast<std::uint32_t>(sections_.size());
  CIniSection section{name, static_cast<std::uint32_t>(entries_.size()), 0, 0, 0};
  size_t mask = group_slots_.size() - 1;
  size_t i = hash & mask;
  while (group_slots_[i].group_plus_one != 0) {
    const GroupSlot& slot = group_slots_[i];
    if (slot.hash == hash &&
        EqualsNoCaseAscii(View(sections_[groups_[slot.group_plus_one - 1].first_section].name),
                          name_text))
      break;
    i = (i + 1) & mask;
  }
  // Make room first, so that a failed allocation leaves the records whole.
  if (sections_.size() == sections_.capacity()) sections_.reserve(2 * sections_.size() + 16);
  if (groups_.size() == groups_.capacity()) groups_.reserve(2 * groups_.size() + 16);
  if (group_slots_[i].group_plus_one == 0) {
    groups_.push_back(Group{index, index, 0, 0, 0, hash});
    group_slots_[i] = GroupSlot{static_cast<std::uint32_t>(groups_.size()), hash};
    section.group = static_cast<std::uint32_t>(groups_.size() - 1);
  } else {
    section.group = group_slots_[i].group_plus_one - 1;
    // Link the new record behind the last one of its name.
    Group& group = groups_[section.group];
    sections_[group.last_section].next_same = index + 1;
    group.last_section = index;
  }
  sections_.push_back(section);
}

void CIniFile::BuildSteps() {
  steps_.reserve(sections_.size());
  for (Group& group : groups_) {
    group.steps_begin = static_cast<std::uint32_t>(steps_.size());
    std::uint32_t most = 0;
    bool first = true;
    for (std::uint32_t s = group.first_section + 1; s != 0; s = sections_[s - 1].next_same) {
      const CIniSection& section = sections_[s - 1];
      // A record reaches GetEntry only with more keys than all before it.
      if (first || section.entry_count > most) {
        steps_.push_back(s - 1);
        most = section.entry_count;
        first = false;
      }
    }
    group.steps_end = static_cast<std::uint32_t>(steps_.size());
  }
}

const CIniFile::Group* CIniFile::FindGroup(std::string_view section) const {
  if (group_slots_.empty()) return nullptr;
  const std::uint32_t hash = static_cast<std::uint32_t>(HashFolded(section));
  size_t mask = group_slots_.size() - 1;
  for (size_t i = hash & mask; group_slots_[i].group_plus_one != 0; i = (i + 1) & mask) {
    if (group_slots_[i].hash != hash) continue;
    const Group& group = groups_[group_slots_[i].group_plus_one - 1];
    if (EqualsNoCaseAscii(View(sections_[group.first_section].name), section)) return &group;
  }
  return nullptr;
}

void CIniFile::BuildKeyIndex() const {
  key_index_built_ = true;
  key_slots_.assign(TableSizeFor(entries_.size()), KeySlot{});
  size_t mask = key_slots_.size() - 1;
  for (const CIniSection& section : sections_) {
    for (std::uint32_t e = section.first_entry; e < section.first_entry + section.entry_count;
         ++e) {
      std::string_view key = View(entries_[e].key);
      size_t i = KeyHash(section.group, key) & mask;
      bool seen = false;
      while (key_slots_[i].entry_plus_one != 0) {
        const KeySlot& slot = key_slots_[i];
        if (slot.group == section.group &&
            EqualsNoCaseAscii(View(entries_[slot.entry_plus_one - 1].key), key)) {
          seen = true;  // the first in file order answers
          break;
        }
        i = (i + 1) & mask;
      }
      if (!seen) key_slots_[i] = KeySlot{e + 1, section.group};
    }
  }
}

CIniSectionRef CIniFile::FindSection(std::string_view section) const {
  const Group* group = FindGroup(section);
  return CIniSectionRef{group == nullptr ? -1 : static_cast<std::int32_t>(group - groups_.data())};
}

CIniSectionRef CIniFile::SectionOfRecord(int index) const {
  if (index < 0 || index >= GetSectionCount()) return CIniSectionRef{};
  return CIniSectionRef{static_cast<std::int32_t>(sections_[static_cast<size_t>(index)].group)};
}

bool CIniFile::FindValue(std::string_view section, std::string_view key,
                         std::string_view& value) const {
  return FindValue(FindSection(section), key, value);
}

bool CIniFile::FindValue(CIniSectionRef section, std::string_view key,
                         std::string_view& value) const {
  value = std::string_view();
  if (!section.found()) return false;
  const Group* group = &groups_[static_cast<size_t>(section.group)];
  if (group->total_entries <= kScanLimit ||
      (!key_index_built_ && group->walks++ < kWalksBeforeIndex)) {
    return WalkValues(*group, &key, 1, &value) != 0;
  }
  if (!key_index_built_) BuildKeyIndex();
  const std::uint32_t group_id = sections_[group->first_section].group;
  size_t mask = key_slots_.size() - 1;
  for (size_t i = KeyHash(group_id, key) & mask; key_slots_[i].entry_plus_one != 0;
       i = (i + 1) & mask) {
    const KeySlot& slot = key_slots_[i];
    const Entry& entry = entries_[slot.entry_plus_one - 1];
    if (slot.group == group_id && EqualsNoCaseAscii(View(entry.key), key)) {
      value = View(entry.value);
      return true;
    }
  }
  return false;
}

std::uint32_t CIniFile::FindValues(CIniSectionRef section, const std::string_view* keys, int count,
                                   std::string_view* values) const {
  for (int k = 0; k < count; ++k) values[k] = std::string_view();
  if (!section.found() || count <= 0 || count > 32) return 0;
  const Group& group = groups_[static_cast<size_t>(section.group)];
  if (key_index_built_ && group.total_entries > kScanLimit) {
    std::uint32_t found = 0;
    for (int k = 0; k < count; ++k) {
      if (FindValue(section, keys[k], values[k])) found |= std::uint32_t{1} << k;
    }
    return found;
  }
  return WalkValues(group, keys, count, values);
}

std::uint32_t CIniFile::WalkValues(const Group& group, const std::string_view* keys, int count,
                                   std::string_view* values) const {
  // The records of the name in file order, each key's first occurrence.
  std::uint32_t found = 0;
  const std::uint32_t all = count == 32 ? ~std::uint32_t{0} : (std::uint32_t{1} << count) - 1;
  for (std::uint32_t s = group.first_section + 1; s != 0 && found != all;
       s = sections_[s - 1].next_same) {
    const CIniSection& record = sections_[s - 1];
    for (std::uint32_t e = record.first_entry;
         e < record.first_entry + record.entry_count && found != all; ++e) {
      const std::string_view key = View(entries_[e].key);
      for (int k = 0; k < count; ++k) {
        const std::uint32_t bit = std::uint32_t{1} << k;
        if ((found & bit) == 0 && EqualsNoCaseAscii(key, keys[k])) {
          values[k] = View(entries_[e].value);
          found |= bit;
        }
      }
    }
  }
  return found;
}

bool CIniFile::FindEntry(std::string_view section, int index, std::string_view& key,
                         std::string_view& value) const {
  return FindEntry(FindSection(section), index, key, value);
}

bool CIniFile::FindEntry(CIniSectionRef section, int index, std::string_view& key,
                         std::string_view& value) const {
  key = std::string_view();
  value = std::string_view();
  if (index < 0 || !section.found()) return false;
  const Group* group = &groups_[static_cast<size_t>(section.group)];
  const std::uint32_t wanted = static_cast<std::uint32_t>(index);
  if (group->steps_end - group->steps_begin == 1) {
    // One record answers every index: the usual case.
    const CIniSection& record = sections_[steps_[group->steps_begin]];
    if (wanted >= record.entry_count) return false;
    const Entry& entry = entries_[record.first_entry + wanted];
    key = View(entry.key);
    value = View(entry.value);
    return true;
  }
  // The steps' key counts rise: the first with more than `index` keys.
  auto begin = steps_.begin() + group->steps_begin;
  auto end = steps_.begin() + group->steps_end;
  auto step = std::partition_point(
      begin, end, [&](std::uint32_t s) { return sections_[s].entry_count <= wanted; });
  if (step == end) return false;
  const Entry& entry = entries_[sections_[*step].first_entry + wanted];
  key = View(entry.key);
  value = View(entry.value);
  return true;
}

std::string_view CIniFile::SectionName(int index) const {
  if (index < 0 || index >= GetSectionCount()) return std::string_view();
  return View(sections_[index].name);
}

bool CIniFile::GetValue(std::string_view section, std::string_view key, std::string& value) const {
  std::string_view found;
  bool ok = FindValue(section, key, found);
  value.assign(found);
  return ok;
}

bool CIniFile::GetEntry(std::string_view section, int index, std::string& key,
                        std::string& value) const {
  std::string_view found_key, found_value;
  bool ok = FindEntry(section, index, found_key, found_value);
  key.assign(found_key);
  value.assign(found_value);
  return ok;
}

int CIniFile::GetSection(int index, std::string& name) const {
  name.assign(SectionName(index));
  if (index < 0 || index >= GetSectionCount()) return 0;
  return static_cast<int>(sections_[index].entry_count);
}

void CIniFile::BuildLineStarts() const {
  line_starts_.clear();
  line_starts_.push_back(0);
  const std::string_view text(text_);
  for (size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
    if (lf + 1 < text.size()) line_starts_.push_back(static_cast<std::uint32_t>(lf + 1));
  }
}

int CIniFile::LineOf(std::string_view view) const {
  const char* begin = text_.data();
  if (view.data() < begin || view.data() > begin + text_.size()) return 0;
  if (line_starts_.empty()) BuildLineStarts();
  const auto offset = static_cast<std::uint32_t>(view.data() - begin);
  auto next = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  return static_cast<int>(next - line_starts_.begin());
}

int CIniFile::SectionLine(int index) const {
  if (index < 0 || index >= GetSectionCount()) return 0;
  return LineOf(View(sections_[static_cast<size_t>(index)].name));
}

int CIniFile::LineCount() const {
  if (text_.empty()) return 0;
  if (line_starts_.empty()) BuildLineStarts();
  return static_cast<int>(line_starts_.size());
}

std::string_view CIniFile::LineText(int line) const {
  if (line < 1 || line > LineCount()) return std::string_view();
  const std::string_view text(text_);
  const size_t begin = line_starts_[static_cast<size_t>(line) - 1];
  size_t end = text.find('\n', begin);
  if (end == std::string_view::npos) end = text.size();
  if (end > begin && text[end - 1] == '\r') --end;
  return text.substr(begin, end - begin);
}

int CIniFile::EntryCount(int index) const {
  if (index < 0 || index >= GetSectionCount()) return 0;
  return static_cast<int>(sections_[static_cast<size_t>(index)].entry_count);
}

bool CIniFile::RecordEntry(int index, int entry, std::string_view& key,
                           std::string_view& value) const {
  key = std::string_view();
  value = std::string_view();
  if (entry < 0 || entry >= EntryCount(index)) return false;
  const Entry& found = entries_[sections_[static_cast<size_t>(index)].first_entry +
                                static_cast<std::uint32_t>(entry)];
  key = View(found.key);
  value = View(found.value);
  return true;
}
