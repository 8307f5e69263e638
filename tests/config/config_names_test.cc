#include "config/config_names.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The handbook's tables of sections and keys against the program's list:
// every name the program reads is documented, and every documented name is
// one it reads. A key of "" stands for the section itself; a section of ""
// for any placeholder section (the key tables under a heading that names no
// section).
using Name = std::pair<std::string, std::string>;

const char kSectionColumn[] = "Sektion";
const char kKeyColumn[] =
    "Schl\xC3\xBC"
    "ssel";

std::string ReadChapter(const std::string& file) {
  const std::string path = std::string(PAGETRIX_HANDBOOK_DIR) + "/" + file;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// The cells of a table row; "\|" belongs to its cell.
std::vector<std::string_view> Cells(std::string_view row) {
  row = Trim(row);
  if (!row.empty() && row.front() == '|') row.remove_prefix(1);
  if (!row.empty() && row.back() == '|') row.remove_suffix(1);
  std::vector<std::string_view> cells;
  size_t start = 0;
  for (size_t i = 0; i <= row.size(); ++i) {
    if (i < row.size() && (row[i] != '|' || (i > 0 && row[i - 1] == '\\'))) continue;
    cells.push_back(Trim(row.substr(start, i - start)));
    start = i + 1;
  }
  return cells;
}

// The names of a cell that holds nothing but names in backticks, separated
// by commas; none for a cell of prose.
std::vector<std::string> NamesInCell(std::string_view cell) {
  std::vector<std::string> names;
  while (!cell.empty()) {
    if (cell.front() != '`') return {};
    const size_t close = cell.find('`', 1);
    if (close == std::string_view::npos) return {};
    names.emplace_back(cell.substr(1, close - 1));
    cell.remove_prefix(close + 1);
    if (cell.empty()) break;
    if (cell.substr(0, 2) != ", ") return {};
    cell.remove_prefix(2);
  }
  return names;
}

// "[Name]" as Name; anything else as it is.
std::string Unbracketed(std::string_view name) {
  if (name.size() > 2 && name.front() == '[' && name.back() == ']')
    return std::string(name.substr(1, name.size() - 2));
  return std::string(name);
}

// The sections and keys the tables of a chapter name.
std::set<Name> DocumentedNames(std::string_view chapter) {
  std::set<Name> found;
  std::string heading_section;
  int section_column = -1;
  int key_column = -1;
  bool in_table = false;
  size_t start = 0;
  while (start <= chapter.size()) {
    size_t end = chapter.find('\n', start);
    if (end == std::string_view::npos) end = chapter.size();
    const std::string_view line = Trim(chapter.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() != '|') {
      in_table = false;
      if (!line.empty() && line.front() == '#') {
        const size_t open = line.find('[');
        const size_t close = line.find(']', open);
        heading_section = open == std::string_view::npos || close == std::string_view::npos
                              ? std::string()
                              : std::string(line.substr(open + 1, close - open - 1));
      }
      continue;
    }
    const std::vector<std::string_view> cells = Cells(line);
    if (!in_table) {
      in_table = true;
      section_column = key_column = -1;
      for (size_t c = 0; c < cells.size(); ++c) {
        if (cells[c] == kSectionColumn) section_column = static_cast<int>(c);
        if (cells[c] == kKeyColumn) key_column = static_cast<int>(c);
      }
      continue;
    }
    if (line.substr(0, 4) == "|---") continue;
    std::vector<std::string> sections{heading_section};
    if (section_column >= 0 && section_column < static_cast<int>(cells.size())) {
      sections.clear();
      for (const std::string& name : NamesInCell(cells[section_column])) {
        sections.push_back(Unbracketed(name));
        found.emplace(sections.back(), "");
      }
    }
    if (key_column < 0 || key_column >= static_cast<int>(cells.size())) continue;
    for (const std::string& key : NamesInCell(cells[key_column])) {
      for (const std::string& section : sections) found.emplace(section, key);
    }
  }
  return found;
}

void AddSections(std::span<const std::string_view> sections, std::set<Name>& to) {
  for (std::string_view section : sections) to.emplace(section, "");
}

void AddKeys(std::string_view section, std::span<const std::string_view> keys, std::set<Name>& to) {
  for (std::string_view key : keys) to.emplace(section, key);
}

std::set<Name> MainConfigNames() {
  std::set<Name> all;
  AddSections(names::kMainSections, all);
  for (const names::SectionKeys& keys : names::kMainConfigKeys)
    AddKeys(keys.section, keys.keys, all);
  return all;
}

std::set<Name> CommandFileNames() {
  std::set<Name> all;
  AddSections(names::kCommandSections, all);
  for (const names::SectionKeys& keys : names::kCommandFileKeys)
    AddKeys(keys.section, keys.keys, all);
  AddKeys("", names::kSectionSettingKeys, all);
  return all;
}

std::set<Name> EnvironmentNames() {
  std::set<Name> all;
  AddSections(names::kEnvironmentSections, all);
  return all;
}

std::string Shown(const Name& name) {
  const std::string section = name.first.empty() ? "a placeholder section" : "[" + name.first + "]";
  return name.second.empty() ? section : section + " " + name.second;
}

// Each name in one set and not the other, said which way round.
std::vector<std::string> Differences(const std::set<Name>& listed,
                                     const std::set<Name>& documented) {
  std::vector<std::string> differences;
  for (const Name& name : listed) {
    if (documented.count(name) == 0)
      differences.push_back(Shown(name) + ": read by the program, missing in the handbook");
  }
  for (const Name& name : documented) {
    if (listed.count(name) == 0)
      differences.push_back(Shown(name) + ": in the handbook, not read by the program");
  }
  return differences;
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << "the chapter no longer holds: " << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

using Differed = std::vector<std::string>;

TEST(ConfigNamesTest, HandbookTablesNameExactlyTheProgramsNames) {
  EXPECT_EQ(
      Differences(MainConfigNames(), DocumentedNames(ReadChapter("04-hauptkonfiguration.md"))),
      Differed{});
  EXPECT_EQ(Differences(CommandFileNames(), DocumentedNames(ReadChapter("05-kommandodateien.md"))),
            Differed{});
  const std::string environment = ReadChapter("09-umgebungsdatei.md");
  EXPECT_EQ(Differences(EnvironmentNames(), DocumentedNames(environment)), Differed{});
  // The server sections are named in the text, the server's part as a stand-in.
  const std::string_view format = names::kServerSectionFormat;
  const std::string server_prefix(format.substr(0, format.find("%s")));
  EXPECT_NE(environment.find("`[" + std::string(names::kLokal) + "]`"), std::string::npos);
  EXPECT_NE(environment.find("`[" + server_prefix), std::string::npos) << server_prefix;
}

// A row dropped, a name misspelt or one added: the difference names it.
TEST(ConfigNamesTest, ChangedTablesAreNamed) {
  const std::string main_config = ReadChapter("04-hauptkonfiguration.md");
  EXPECT_EQ(Differences(MainConfigNames(),
                        DocumentedNames(Replaced(main_config, ", `Maximize` |", " |"))),
            Differed{"[Pagetrix] Maximize: read by the program, missing in the handbook"});
  EXPECT_EQ(Differences(MainConfigNames(),
                        DocumentedNames(Replaced(main_config, "| `[Rechte]`, `[Server]` |",
                                                 "| `[Rechte]`, `[Server]`, `[Farben]` |"))),
            Differed{"[Farben]: in the handbook, not read by the program"});

  const std::string commands = ReadChapter("05-kommandodateien.md");
  EXPECT_EQ(Differences(CommandFileNames(),
                        DocumentedNames(Replaced(commands, "| `[Vorlage]` | `Sound` |",
                                                 "| `[Vorlage]` | `Klang` |"))),
            (Differed{"[Vorlage] Sound: read by the program, missing in the handbook",
                      "[Vorlage] Klang: in the handbook, not read by the program"}));
  EXPECT_EQ(Differences(CommandFileNames(),
                        DocumentedNames(Replaced(commands, "| `Border` |", "| `Rahmen` |"))),
            (Differed{"a placeholder section Border: read by the program, missing in the handbook",
                      "a placeholder section Rahmen: in the handbook, not read by the program"}));

  const std::string environment = ReadChapter("09-umgebungsdatei.md");
  EXPECT_EQ(Differences(EnvironmentNames(),
                        DocumentedNames(
                            Replaced(environment, "| RAM-Disk | `[Environment_RAMDISK]` |\n", ""))),
            Differed{"[Environment_RAMDISK]: read by the program, missing in the handbook"});
}

}  // namespace
