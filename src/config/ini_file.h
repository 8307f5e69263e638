/// Reader for the INI files of the program (main configuration, command files, environment file).
#ifndef PAGETRIX_CONFIG_INI_FILE_H_
#define PAGETRIX_CONFIG_INI_FILE_H_

#include <string>
#include <string_view>
#include <vector>

/// One section record: its name as written and its keys and values in file order.
struct CIniSection {
  std::string name;
  std::vector<std::string> keys;
  std::vector<std::string> values;
};

/// Whole-file INI reader; read-only, answers lookups from memory.
class CIniFile {
 public:
  CIniFile() = default;
  virtual ~CIniFile() = default;

  /// Loads a file: 0 complete, 1 cannot open, 2 read error, 3 allocation
  /// failure, 4 a key line without "=".
  int Load(const std::string& path);
  /// Parses bytes as read from a file (text-mode rules applied here).
  int LoadFromBytes(std::string_view bytes);
  void Clear();

  bool GetValue(std::string_view section, std::string_view key, std::string& value) const;
  bool GetEntry(std::string_view section, int index, std::string& key, std::string& value) const;
  int GetSectionCount() const { return static_cast<int>(sections_.size()); }
  /// Number of keys of the record at `index`; 0 and an empty name out of range.
  int GetSection(int index, std::string& name) const;
  const std::string& GetFileName() const { return file_name_; }

 private:
  int ParseLine(std::string line);

  std::vector<CIniSection> sections_;
  CIniSection* current_ = nullptr;
  std::string file_name_;
};

#endif  // PAGETRIX_CONFIG_INI_FILE_H_
