// Loads fuzzed bytes with the INI reader and with the reading rules written
// out the plain way (records in file order, linear lookups), and checks that
// both answer every lookup alike.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "config/ini_file.h"

namespace {

struct Record {
  std::string name;
  std::vector<std::string> keys, values;
};

struct Plain {
  std::vector<Record> records;
  int result = 0;

  void Line(std::string line) {
    if (!line.empty() && line.back() == '\n') line.pop_back();
    line = TrimBlanks(line);
    if (line.empty() || line[0] == ';' || line[0] == ':') return;
    for (size_t i = 1; i < line.size(); ++i) {
      if (line[i] == ';' && IsBlankOrTab(line[i - 1])) {
        line.erase(i - 1);
        break;
      }
    }
    line = TrimBlanks(line);
    if (line.empty()) return;
    if (line[0] == '[' && line.find(']') != std::string::npos) {
      records.push_back(Record{line.substr(1, line.size() - 2), {}, {}});
      return;
    }
    if (records.empty()) return;
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      result = 4;
      return;
    }
    records.back().keys.push_back(TrimBlanks(line.substr(0, eq)));
    records.back().values.push_back(TrimBlanks(line.substr(eq + 1)));
  }

  explicit Plain(std::string_view bytes) {
    size_t end = bytes.find('\x1A');
    if (end != std::string_view::npos) bytes = bytes.substr(0, end);
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
      text.push_back(bytes[i]);
    }
    size_t pos = 0;
    while (pos < text.size()) {
      size_t lf = text.find('\n', pos);
      size_t line_end = lf == std::string::npos ? text.size() : lf + 1;
      size_t piece_end = std::min(line_end, pos + 1022);
      Line(text.substr(pos, piece_end - pos));
      pos = piece_end;
    }
  }

  bool Value(std::string_view section, std::string_view key, std::string& value) const {
    value.clear();
    for (const Record& r : records) {
      if (!EqualsNoCaseAscii(r.name, section)) continue;
      for (size_t i = 0; i < r.keys.size(); ++i) {
        if (EqualsNoCaseAscii(r.keys[i], key)) {
          value = r.values[i];
          return true;
        }
      }
    }
    return false;
  }

  bool Entry(std::string_view section, int index, std::string& key, std::string& value) const {
    key.clear();
    value.clear();
    for (const Record& r : records) {
      if (EqualsNoCaseAscii(r.name, section) && r.keys.size() > static_cast<size_t>(index)) {
        key = r.keys[index];
        value = r.values[index];
        return true;
      }
    }
    return false;
  }
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Plain plain(bytes);
  CIniFile ini;
  Check(ini.LoadFromBytes(bytes) == plain.result);
  Check(ini.GetSectionCount() == static_cast<int>(plain.records.size()));
  std::string name, key, value, want_key, want_value;
  for (size_t s = 0; s < plain.records.size(); ++s) {
    const Record& record = plain.records[s];
    Check(ini.GetSection(static_cast<int>(s), name) == static_cast<int>(record.keys.size()));
    Check(name == record.name);
    // Lookups under the name as written and in the other letter case.
    for (const std::string& asked : {record.name, ToUpperAnsi(record.name)}) {
      for (int i = 0; i <= static_cast<int>(record.keys.size()) + 1; ++i) {
        bool found = ini.GetEntry(asked, i, key, value);
        Check(found == plain.Entry(asked, i, want_key, want_value));
        Check(key == want_key && value == want_value);
      }
      for (const std::string& k : record.keys) {
        for (const std::string& asked_key : {k, ToUpperAnsi(k), k + "x"}) {
          bool found = ini.GetValue(asked, asked_key, value);
          Check(found == plain.Value(asked, asked_key, want_value));
          Check(value == want_value);
        }
      }
    }
    // The record's section, without a search, and several keys at once.
    const CIniSectionRef section = ini.SectionOfRecord(static_cast<int>(s));
    Check(section.group == ini.FindSection(record.name).group);
    std::vector<std::string_view> keys(record.keys.begin(), record.keys.end());
    keys.resize(std::min<size_t>(keys.size(), 31));
    keys.push_back("x-missing");
    std::vector<std::string_view> values(keys.size());
    const std::uint32_t found =
        ini.FindValues(section, keys.data(), static_cast<int>(keys.size()), values.data());
    for (size_t k = 0; k < keys.size(); ++k) {
      const bool expected = plain.Value(record.name, keys[k], want_value);
      Check((((found >> k) & 1u) != 0) == expected);
      Check(values[k] == want_value);
    }
  }
  return 0;
}
