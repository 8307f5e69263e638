#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace {

const ProfileKeys kPlacement = {
    {"X", "-8"}, {"Y", "970"}, {"CX", "600"}, {"CY", "44"}, {"Maximize", "0"}};

// The oracle: the text as lines with their ends, and which lines are the
// keys' own -- written out plainly, line by line, as the private-profile
// functions read a file.
struct Parsed {
  std::vector<std::string> lines;  // each with its line end
  std::vector<size_t> key_lines;   // the line of each placement key, or npos
  bool has_section = false;
};

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return std::string();
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

Parsed Parse(const std::string& text, const std::string& section, const ProfileKeys& keys) {
  Parsed parsed;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    parsed.lines.push_back(text.substr(start, end - start));
    start = end;
  }
  parsed.key_lines.assign(keys.size(), std::string::npos);
  int state = 0;  // 0 before the section, 1 in it, 2 after it
  for (size_t i = 0; i < parsed.lines.size(); ++i) {
    std::string line = parsed.lines[i];
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    const std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed[0] == '[' && trimmed.find(']') != std::string::npos) {
      const bool ours = EqualsNoCaseAscii(Trim(trimmed.substr(1, trimmed.find(']') - 1)), section);
      if (state == 1) state = 2;
      if (state == 0 && ours) {
        state = 1;
        parsed.has_section = true;
      }
      continue;
    }
    if (state != 1 || trimmed.empty() || trimmed[0] == ';') continue;
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    for (size_t k = 0; k < keys.size(); ++k) {
      if (parsed.key_lines[k] == std::string::npos &&
          EqualsNoCaseAscii(Trim(line.substr(0, equals)), keys[k].first))
        parsed.key_lines[k] = i;
    }
  }
  return parsed;
}

std::string Value(const std::string& line) {
  std::string value = line.substr(line.find('=') + 1);
  while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
  return Trim(value);
}

// Every line of `before` that is no key line, in order: what must survive.
std::vector<std::string> OtherLines(const Parsed& parsed) {
  std::vector<std::string> others;
  for (size_t i = 0; i < parsed.lines.size(); ++i) {
    bool key = false;
    for (size_t line : parsed.key_lines) key = key || line == i;
    std::string text = parsed.lines[i];
    // A last line without an end may get one when keys follow it.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (!key) others.push_back(text);
  }
  return others;
}

// Random INI texts of the lines a hand-kept main configuration holds,
// sections named like the placement's among them.
std::string RandomText(std::mt19937& random) {
  static const char* const kPieces[] = {"[Pagetrix]",
                                        "[pagetrix]",
                                        "  [ PAGETRIX ]  ",
                                        "[Pagetrix2]",
                                        "[Rechte]",
                                        "[StartProg]",
                                        "X=12",
                                        "x = 7",
                                        " CX=600",
                                        "cy=",
                                        "Maximize=1",
                                        ";X=5",
                                        "; Kommentar",
                                        "Sichtbar=1",
                                        "LoeschStd=24",
                                        "Xtra=1",
                                        "X",
                                        "=X",
                                        "",
                                        "   ",
                                        "meier=00010003",
                                        "Name=C:\\b.exe",
                                        "\xC4nderung=\xFC",
                                        "[",
                                        "]",
                                        "Y=1=2"};
  const char* const ends[] = {"\r\n", "\n", "\r\n", "\r\n"};
  std::string text;
  const int lines = static_cast<int>(random() % 14);
  for (int i = 0; i < lines; ++i) {
    text += kPieces[random() % (sizeof kPieces / sizeof kPieces[0])];
    if (i + 1 < lines || random() % 4 != 0) text += ends[random() % 4];
  }
  return text;
}

TEST(SetProfileKeysTest, KeysAreSetAndEveryOtherByteStays) {
  std::mt19937 random(2);
  for (int round = 0; round < 4000; ++round) {
    const std::string before = RandomText(random);
    const std::string after = SetProfileKeys(before, "Pagetrix", kPlacement);
    const Parsed old_parse = Parse(before, "Pagetrix", kPlacement);
    const Parsed new_parse = Parse(after, "Pagetrix", kPlacement);
    ASSERT_TRUE(new_parse.has_section) << before;
    for (size_t k = 0; k < kPlacement.size(); ++k) {
      ASSERT_NE(std::string::npos, new_parse.key_lines[k]) << before;
      EXPECT_EQ(kPlacement[k].second, Value(new_parse.lines[new_parse.key_lines[k]]))
          << kPlacement[k].first << " in\n"
          << before;
    }
    // Apart from the keys' own lines (and the header of a section that was
    // not there), the lines are those of before, in order, byte for byte.
    std::vector<std::string> kept = OtherLines(new_parse);
    if (!old_parse.has_section) {
      auto header = std::find(kept.begin(), kept.end(), "[Pagetrix]");
      ASSERT_NE(kept.end(), header) << before;
      kept.erase(header);
    }
    ASSERT_EQ(OtherLines(old_parse), kept) << before << "\n----\n" << after;
    // A key line that was there keeps its place and what stands before its value.
    for (size_t k = 0; k < kPlacement.size(); ++k) {
      const size_t at = old_parse.key_lines[k];
      if (at == std::string::npos) continue;
      const std::string& line = old_parse.lines[at];
      ASSERT_LT(at, new_parse.lines.size());
      EXPECT_EQ(new_parse.lines[at].substr(0, line.find('=') + 1),
                line.substr(0, line.find('=') + 1));
    }
    // Set once more, nothing changes.
    EXPECT_EQ(after, SetProfileKeys(after, "Pagetrix", kPlacement));
  }
}

TEST(SetProfileKeysTest, WrittenAsAHandKeptFileHasIt) {
  EXPECT_EQ("[Pagetrix]\r\nX=-8\r\nY=970\r\nCX=600\r\nCY=44\r\nMaximize=0\r\n",
            SetProfileKeys("", "Pagetrix", kPlacement));
  EXPECT_EQ(
      "[A]\nk=v\n\n[Pagetrix]\nSichtbar=1\nx = -8\nY=970\nCX=600\nCY=44\nMaximize=0\n\n[B]\n",
      SetProfileKeys("[A]\nk=v\n\n[Pagetrix]\nSichtbar=1\nx = 3\n\n[B]\n", "Pagetrix", kPlacement));
  EXPECT_EQ(
      "[Rechte]\r\nmeier=1\r\n[Pagetrix]\r\nX=-8\r\nY=970\r\nCX=600\r\nCY=44\r\n"
      "Maximize=0\r\n",
      SetProfileKeys("[Rechte]\r\nmeier=1", "Pagetrix", kPlacement));
}

class WriteProfileKeysTest : public ::testing::Test {
 protected:
  FakePlatform platform_;
  TempDir dir_;
};

TEST_F(WriteProfileKeysTest, MissingFileIsMadeUnwritableOneStays) {
  EXPECT_TRUE(WriteProfileKeys(platform_, dir_.Path("new.ini"), "Pagetrix", kPlacement));
  EXPECT_EQ(SetProfileKeys("", "Pagetrix", kPlacement), dir_.Read("new.ini"));
  EXPECT_FALSE(WriteProfileKeys(platform_, dir_.Path("missing/new.ini"), "Pagetrix", kPlacement));
  ASSERT_TRUE(dir_.Write("shared.ini", "[Pagetrix]\r\nSichtbar=1\r\n"));
  platform_.Fail(FileOp::kRewrite, dir_.Path("shared.ini"));
  EXPECT_FALSE(WriteProfileKeys(platform_, dir_.Path("shared.ini"), "Pagetrix", kPlacement));
  // One that cannot be read is not rewritten from nothing.
  platform_.Fail(FileOp::kOpen, dir_.Path("shared.ini"));
  platform_.opened.clear();
  EXPECT_FALSE(WriteProfileKeys(platform_, dir_.Path("shared.ini"), "Pagetrix", kPlacement));
  EXPECT_EQ(std::vector<std::string>{dir_.Path("shared.ini")}, platform_.opened);
  EXPECT_EQ("[Pagetrix]\r\nSichtbar=1\r\n", dir_.Read("shared.ini"));
}

// Many writers at the same moment on one file: each finds it whole.
TEST_F(WriteProfileKeysTest, WritersAtOnceLoseNoLine) {
  std::string shared = "; Hauptkonfiguration fuer alle\r\n[Pagetrix]\r\nSichtbar=1\r\n";
  shared += "LoeschStd=24\r\n\r\n[Rechte]\r\n";
  for (int i = 0; i < 300; ++i)
    shared += "benutzer" + std::to_string(i) + "=0001000" + std::to_string(i % 10) + "\r\n";
  ASSERT_TRUE(dir_.Write("Pagetrix.ini", shared));
  const std::string path = dir_.Path("Pagetrix.ini");
  for (int round = 0; round < 3; ++round) {
    std::vector<std::thread> writers;
    for (int w = 0; w < 16; ++w) {
      writers.emplace_back([this, &path, w] {
        const std::string n = std::to_string(w);
        WriteProfileKeys(platform_, path, "Pagetrix",
                         {{"X", n}, {"Y", n}, {"CX", "6" + n}, {"CY", "44"}, {"Maximize", "0"}});
      });
    }
    for (std::thread& writer : writers) writer.join();
    const std::string after = dir_.Read("Pagetrix.ini");
    const Parsed parsed = Parse(after, "Pagetrix", kPlacement);
    // One writer's values, all five of them.
    ASSERT_NE(std::string::npos, parsed.key_lines[0]) << after;
    const std::string x = Value(parsed.lines[parsed.key_lines[0]]);
    EXPECT_EQ(x, Value(parsed.lines[parsed.key_lines[1]]));
    EXPECT_EQ("6" + x, Value(parsed.lines[parsed.key_lines[2]]));
    EXPECT_EQ(OtherLines(Parse(shared, "Pagetrix", kPlacement)), OtherLines(parsed));
  }
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(platform_.ListFolder(dir_.path(), &entries));
  EXPECT_EQ(1u, entries.size());  // nothing left beside it
}

}  // namespace
