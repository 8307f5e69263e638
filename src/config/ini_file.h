/// Reader for the INI files of the program (main configuration, command files, environment file).
#ifndef PAGETRIX_CONFIG_INI_FILE_H_
#define PAGETRIX_CONFIG_INI_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

/// A run of bytes of the reader's text: where it starts and how long it is.
struct CIniSpan {
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};

/// One section record: its name as written and where its keys and values
/// stand in the reader's list of entries (a section's entries are adjacent).
struct CIniSection {
  CIniSpan name;
  std::uint32_t first_entry = 0;
  std::uint32_t entry_count = 0;
  std::uint32_t group = 0;      ///< sections whose names differ only in ASCII case share it
  std::uint32_t next_same = 0;  ///< the next record of the group plus one; 0 for none
};

/// A line the reader does not keep: where it stands and why it was left out.
struct CIniRejected {
  enum class Kind {
    kNoEquals,            ///< a key line without "=": ignored, Load gives 4
    kBeforeFirstSection,  ///< text before the first header: ignored silently
  };
  Kind kind = Kind::kNoEquals;
  CIniSpan text;       ///< the piece, trimmed, as the reader judged it
  bool piece = false;  ///< a later piece of a line longer than the reader takes at once
};

/// The records of one section name, found once for many lookups in them.
/// Valid until the reader's next Load or Clear.
struct CIniSectionRef {
  std::int32_t group = -1;
  bool found() const { return group >= 0; }
};

/// Whole-file INI reader; read-only, answers lookups from memory. Names, keys
/// and values are not copied: they refer to the one buffer that holds the
/// file's text, and sections and keys are found through hash indexes.
class CIniFile {
 public:
  CIniFile() = default;
  virtual ~CIniFile() = default;

  /// Loads a file: 0 complete, 1 cannot open, 2 read error, 3 allocation
  /// failure, 4 a key line without "=".
  int Load(FileSystem& files, const std::string& path);
  /// Parses bytes as read from a file (text-mode rules applied here).
  int LoadFromBytes(std::string_view bytes);
  void Clear();

  bool GetValue(std::string_view section, std::string_view key, std::string& value) const;
  bool GetEntry(std::string_view section, int index, std::string& key, std::string& value) const;
  int GetSectionCount() const { return static_cast<int>(sections_.size()); }
  /// Number of keys of the record at `index`; 0 and an empty name out of range.
  int GetSection(int index, std::string& name) const;
  const std::string& GetFileName() const { return file_name_; }

  /// The same lookups without copying: the views stay valid until the next
  /// Load or Clear. A failed lookup leaves them empty.
  bool FindValue(std::string_view section, std::string_view key, std::string_view& value) const;
  bool FindEntry(std::string_view section, int index, std::string_view& key,
                 std::string_view& value) const;
  std::string_view SectionName(int index) const;
  /// The same lookups in a section found before: a large section is found
  /// once, not once for every key of it.
  CIniSectionRef FindSection(std::string_view section) const;
  /// What FindSection gives for the name of the record at `index`, without a search.
  CIniSectionRef SectionOfRecord(int index) const;
  bool FindValue(CIniSectionRef section, std::string_view key, std::string_view& value) const;
  bool FindEntry(CIniSectionRef section, int index, std::string_view& key,
                 std::string_view& value) const;
  /// FindValue for `count` keys (at most 32) in one walk over the section:
  /// `values[k]` is what FindValue gives for `keys[k]`; bit k of the result
  /// tells whether it was found.
  std::uint32_t FindValues(CIniSectionRef section, const std::string_view* keys, int count,
                           std::string_view* values) const;

  // Where the records came from, for reports that name lines.
  /// The 1-based line of the file on which `view` starts; `view` must come
  /// from this reader (a name, key or value view, or a rejected line's text).
  /// 0 for a view that does not.
  int LineOf(std::string_view view) const;
  /// The 1-based line of the header of the record at `index`; 0 out of range.
  int SectionLine(int index) const;
  /// The text of a 1-based line as the file has it, without its line end.
  std::string_view LineText(int line) const;
  /// Number of lines of the text the reader took (up to a byte 0x1A).
  int LineCount() const;
  /// The key lines of record `index` in file order: keys and values.
  int EntryCount(int index) const;
  bool RecordEntry(int index, int entry, std::string_view& key, std::string_view& value) const;
  /// The file's text as the reader took it (up to a byte 0x1A).
  std::string_view Text() const { return text_; }
  /// The lines the reader left out, in file order.
  const std::vector<CIniRejected>& Rejected() const { return rejected_; }
  std::string_view View(CIniSpan span) const { return {text_.data() + span.offset, span.size}; }

 private:
  struct Entry {
    CIniSpan key;
    CIniSpan value;
  };
  /// All records of one name, and the steps GetEntry walks: the records
  /// whose key count exceeds that of every earlier record of the name.
  struct Group {
    std::uint32_t first_section = 0;
    std::uint32_t last_section = 0;
    std::uint32_t total_entries = 0;
    std::uint32_t steps_begin = 0;
    std::uint32_t steps_end = 0;
    std::uint32_t hash = 0;           // of the folded name, checked before the name
    mutable std::uint32_t walks = 0;  // lookups that walked the keys
  };
  struct KeySlot {
    std::uint32_t entry_plus_one = 0;  // 0: empty slot
    std::uint32_t group = 0;
  };

  int Parse();
  int ParsePiece(std::uint32_t begin, std::uint32_t end, bool piece);
  void AddSection(CIniSpan name);
  void BuildSteps();
  const Group* FindGroup(std::string_view section) const;
  /// FindValues by walking the group's keys, without the key index.
  std::uint32_t WalkValues(const Group& group, const std::string_view* keys, int count,
                           std::string_view* values) const;
  void BuildKeyIndex() const;
  void BuildLineStarts() const;

  std::string text_;  // the file's bytes after the text-mode rules
  std::vector<CIniSection> sections_;
  std::vector<Entry> entries_;
  std::vector<Group> groups_;
  // The hash sits in the slot, so that a probe reads no group record.
  struct GroupSlot {
    std::uint32_t group_plus_one = 0;  // 0: empty slot
    std::uint32_t hash = 0;
  };
  std::vector<GroupSlot> group_slots_;  // hash of the folded name -> group
  std::vector<std::uint32_t> steps_;    // section indexes, grouped by name
  // Built once a large section has been walked a few times: (group, folded
  // key) -> the first entry of that key in file order.
  mutable std::vector<KeySlot> key_slots_;
  mutable bool key_index_built_ = false;
  std::vector<CIniRejected> rejected_;
  // Offsets where lines begin; made on the first question about a line.
  mutable std::vector<std::uint32_t> line_starts_;
  std::string file_name_;
};

#endif  // PAGETRIX_CONFIG_INI_FILE_H_
