#include "config/ini_file.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  int Parse(const std::string& bytes) { return ini_.LoadFromBytes(bytes); }
  std::string Value(const std::string& section, const std::string& key) {
    std::string value;
    ini_.GetValue(section, key, value);
    return value;
  }
  std::string SectionName(int index) {
    std::string name;
    ini_.GetSection(index, name);
    return name;
  }
  CIniFile ini_;
};

TEST_F(IniFileTest, HeaderForms) {
  EXPECT_EQ(0, Parse(" \t[Links]\t \r\n[ Blank]\r\n[Kommentar] ; Text\r\n[Direkt];Kommentar\r\n"));
  ASSERT_EQ(4, ini_.GetSectionCount());
  EXPECT_EQ("Links", SectionName(0));
  EXPECT_EQ(" Blank", SectionName(1));
  EXPECT_EQ("Kommentar", SectionName(2));
  // Without a blank before ";" the header keeps it and loses its last letter.
  EXPECT_EQ("Direkt];Kommenta", SectionName(3));
}

TEST_F(IniFileTest, BracketWithoutCloseIsAKeyLineWithoutEquals) {
  EXPECT_EQ(4, Parse("[A]\r\n[B\r\nx=1\r\n"));
  EXPECT_EQ(1, ini_.GetSectionCount());
  EXPECT_EQ("1", Value("a", "X"));
}

TEST_F(IniFileTest, KeyLinesAndComments) {
  EXPECT_EQ(0, Parse("[S]\n  key  =  value  ; comment\nsemi=a;b\nurl=a=b\n=empty key\n"
                     "; comment\n: also\n#tag=1\ntab=x\t;c\n"));
  EXPECT_EQ("value", Value("S", "key"));
  EXPECT_EQ("a;b", Value("S", "semi"));
  EXPECT_EQ("a=b", Value("S", "url"));
  EXPECT_EQ("empty key", Value("S", ""));
  EXPECT_EQ("1", Value("S", "#tag"));
  EXPECT_EQ("x", Value("S", "tab"));
}

TEST_F(IniFileTest, HashLineWithoutEqualsGivesCodeFour) {
  EXPECT_EQ(4, Parse("[S]\n# just a remark\na=1\n"));
  EXPECT_EQ("1", Value("S", "a"));
}

TEST_F(IniFileTest, LinesBeforeFirstHeaderAreIgnored) {
  EXPECT_EQ(0, Parse("stray\nk=v\n[S]\na=1\n"));
  EXPECT_EQ("", Value("S", "k"));
}

TEST_F(IniFileTest, ByteOrderMarkHidesFirstHeader) {
  EXPECT_EQ(0, Parse("\xEF\xBB\xBF[First]\na=1\n[Second]\nb=2\n"));
  EXPECT_EQ(1, ini_.GetSectionCount());
  EXPECT_EQ("", Value("First", "a"));
  EXPECT_EQ("2", Value("Second", "b"));
}

TEST_F(IniFileTest, DuplicateSectionsAndKeys) {
  Parse("[Links]\na=1\na=2\n[LINKS]\na=3\nb=4\nc=5\n");
  EXPECT_EQ("1", Value("links", "A"));
  EXPECT_EQ("4", Value("Links", "b"));
  std::string key, value;
  ASSERT_TRUE(ini_.GetEntry("links", 0, key, value));
  EXPECT_EQ("1", value);
  ASSERT_TRUE(ini_.GetEntry("links", 1, key, value));
  EXPECT_EQ("2", value);
  // Index 2 is beyond the first record: the second one's own third entry.
  ASSERT_TRUE(ini_.GetEntry("links", 2, key, value));
  EXPECT_EQ("c", key);
  EXPECT_FALSE(ini_.GetEntry("links", 3, key, value));
  EXPECT_TRUE(key.empty() && value.empty());
}

TEST_F(IniFileTest, CaseFoldingCoversAsciiOnly) {
  Parse("[\xC4nderung]\nk=v\n");
  EXPECT_EQ("v", Value("\xC4NDERUNG", "K"));
  EXPECT_EQ("", Value("\xE4nderung", "k"));
}

TEST_F(IniFileTest, LongLineIsReadInPieces) {
  std::string line = "k=" + std::string(1498, 'x');
  EXPECT_EQ(4, Parse("[S]\n" + line + "\n"));
  EXPECT_EQ(std::string(1020, 'x'), Value("S", "k"));
}

TEST_F(IniFileTest, TextModeRules) {
  // CR before LF is dropped, a lone CR stays, 0x1A ends the file.
  EXPECT_EQ(0, Parse("[S]\r\na=1\rx\r\nb=2\r\n\x1A"
                     "c=3\r\n"));
  EXPECT_EQ("1\rx", Value("S", "a"));
  EXPECT_EQ("", Value("S", "c"));
}

TEST_F(IniFileTest, SectionIndexOutOfRange) {
  Parse("[A]\n[B]\nx=1\n");
  std::string name = "stale";
  EXPECT_EQ(0, ini_.GetSection(0, name));
  EXPECT_EQ("A", name);
  EXPECT_EQ(1, ini_.GetSection(1, name));
  EXPECT_EQ(0, ini_.GetSection(2, name));
  EXPECT_EQ("", name);
}

TEST_F(IniFileTest, EntriesOfManySameNamedRecords) {
  // Key counts 2, 1, 4, 4, 6: index 0-1 from the first, 2-3 from the third,
  // 4-5 from the fifth record; records that never have more keys are skipped.
  Parse(
      "[L]\na=1\nb=2\n[l]\nc=3\n[L]\nd=4\ne=5\nf=6\ng=7\n[L]\nh=8\ni=9\nj=10\nk=11\n"
      "[L]\nm=12\nn=13\no=14\np=15\nq=16\nr=17\n[Other]\nx=0\n");
  const char* expected[] = {"a", "b", "f", "g", "q", "r"};
  std::string key, value;
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(ini_.GetEntry("L", i, key, value)) << i;
    EXPECT_EQ(expected[i], key) << i;
  }
  EXPECT_FALSE(ini_.GetEntry("L", 6, key, value));
  EXPECT_FALSE(ini_.GetEntry("L", -1, key, value));
  EXPECT_FALSE(ini_.GetEntry("Missing", 0, key, value));
  EXPECT_TRUE(ini_.GetEntry("other", 0, key, value));
  EXPECT_EQ("0", value);
}

// A section found once, by name or by one of its records, answers as the
// lookups by name do: every record of the name, in any ASCII case.
TEST_F(IniFileTest, SectionFoundOnceAnswersLikeLookupsByName) {
  Parse("[L]\na=1\nb=2\n[Other]\nx=0\n[l]\nc=3\nd=4\ne=5\n");
  const CIniSectionRef by_name = ini_.FindSection("l");
  ASSERT_TRUE(by_name.found());
  for (int record : {0, 2}) EXPECT_EQ(by_name.group, ini_.SectionOfRecord(record).group);
  EXPECT_NE(by_name.group, ini_.SectionOfRecord(1).group);
  EXPECT_FALSE(ini_.FindSection("Missing").found());
  EXPECT_FALSE(ini_.SectionOfRecord(3).found());
  EXPECT_FALSE(ini_.SectionOfRecord(-1).found());
  std::string_view key, value, by_name_key, by_name_value;
  for (int i = -1; i <= 3; ++i) {
    EXPECT_EQ(ini_.FindEntry("L", i, by_name_key, by_name_value),
              ini_.FindEntry(by_name, i, key, value));
    EXPECT_EQ(by_name_key, key);
    EXPECT_EQ(by_name_value, value);
  }
  ASSERT_TRUE(ini_.FindValue(ini_.SectionOfRecord(0), "E", value));
  EXPECT_EQ("5", value);
  EXPECT_FALSE(ini_.FindValue(ini_.FindSection("Missing"), "a", value));
  EXPECT_FALSE(ini_.FindEntry(ini_.FindSection("Missing"), 0, key, value));
}

// Several keys in one walk: the same answers as one lookup per key, also in
// a section of many records and keys, before and after its key index exists.
TEST_F(IniFileTest, SeveralKeysAtOnceAnswerLikeOneByOne) {
  std::string text = "[T]\nBorder=1\nb=first\n[Other]\nz=9\n[t]\nBORDER=2\nc=\n";
  for (int i = 0; i < 100; ++i) text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  text += "z=late\nb=second\n";
  Parse(text);
  const std::string_view keys[] = {"border", "B", "c", "z", "missing", "K99", "b"};
  const int count = static_cast<int>(std::size(keys));
  for (int round = 0; round < 12; ++round) {
    std::string_view values[std::size(keys)];
    const std::uint32_t found = ini_.FindValues(ini_.FindSection("T"), keys, count, values);
    for (int k = 0; k < count; ++k) {
      std::string_view one;
      const bool ok = ini_.FindValue("T", keys[k], one);
      EXPECT_EQ(ok, ((found >> k) & 1u) != 0) << keys[k] << " round " << round;
      EXPECT_EQ(one, values[k]) << keys[k] << " round " << round;
    }
  }
  std::string_view value = "stale";
  EXPECT_EQ(0u, ini_.FindValues(ini_.FindSection("Missing"), keys, 1, &value));
  EXPECT_TRUE(value.empty());
}

TEST_F(IniFileTest, LargeSectionsAnswerLikeSmallOnes) {
  // Past a few keys the lookups go through the index: the same answers.
  std::string text = "[Big]\n";
  for (int i = 0; i < 200; ++i) text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  text += "K7=late duplicate\n[Small]\nk1=small\n[BIG]\nextra=second record\nk1=hidden\n";
  Parse(text);
  // The first rounds walk the keys, the later ones use the index.
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ("7", Value("big", "K7"));
    EXPECT_EQ("199", Value("Big", "k199"));
    EXPECT_EQ("second record", Value("Big", "EXTRA"));
    EXPECT_EQ("1", Value("BIG", "k1"));
    EXPECT_EQ("small", Value("small", "K1"));
    EXPECT_EQ("", Value("Big", "k200"));
    EXPECT_EQ("", Value("Small", "k7"));
    std::string value = "stale";
    EXPECT_FALSE(ini_.GetValue("Big", "k", value));
    EXPECT_EQ("", value);
  }
}

TEST_F(IniFileTest, ViewsAndCopies) {
  Parse("[S]\n k = v ; c\n[]\n=e\n");
  std::string_view key, value;
  ASSERT_TRUE(ini_.FindEntry("s", 0, key, value));
  EXPECT_EQ("k", key);
  EXPECT_EQ("v", value);
  ASSERT_TRUE(ini_.FindValue("", "", value));
  EXPECT_EQ("e", value);
  EXPECT_EQ("", ini_.SectionName(1));
  EXPECT_EQ("", ini_.SectionName(2));
  CIniFile copy = ini_;
  ini_.LoadFromBytes("[Other]\nk=w\n");
  ASSERT_TRUE(copy.FindValue("S", "K", value));
  EXPECT_EQ("v", value);
  EXPECT_FALSE(ini_.FindValue("S", "k", value));
  EXPECT_TRUE(value.empty());
}

TEST_F(IniFileTest, CarriageReturnsAndPieceBoundary) {
  // CR CR LF keeps one CR; a CR at the very end stays; the piece limit
  // counts bytes after the CR before an LF is dropped.
  std::string exact = "k=" + std::string(1019, 'x');  // 1021 bytes + LF = 1022
  EXPECT_EQ(0, Parse("[S]\r\na=1\r\r\n" + exact + "\r\nz=\r"));
  EXPECT_EQ("1\r", Value("S", "a"));
  EXPECT_EQ(std::string(1019, 'x'), Value("S", "k"));
  EXPECT_EQ("\r", Value("S", "z"));
  // One byte past the piece: that byte is a line of its own; the LF after a
  // full piece makes an empty line.
  EXPECT_EQ(0, Parse("[S]\nk=" + std::string(1020, 'x') + "\n"));
  EXPECT_EQ(4, Parse("[S]\nk=" + std::string(1021, 'x') + "\n"));
  EXPECT_EQ(std::string(1020, 'x'), Value("S", "k"));
}

// Reports name lines: every record and every line the reader leaves out
// knows where it stood, pieces of long lines and CR LF ends included.
TEST_F(IniFileTest, LinesOfRecordsAndOfWhatIsLeftOut) {
  const std::string long_value(1100, 'v');
  EXPECT_EQ(4, Parse("vorher\r\n"          // 1: before the first header
                     "\r\n"                // 2
                     "  [Links]  \r\n"     // 3
                     "; Kommentar\r\n"     // 4
                     "0 = A|a.htm ;x\r\n"  // 5
                     "# ohne\r\n"          // 6: no "="
                     "1=" +
                     long_value +
                     "\r\n"       // 7: two pieces, the second without "="
                     "[Leer]\n"   // 8
                     "x=\n"       // 9
                     "[Ende]"));  // 10, without a line end
  EXPECT_EQ(10, ini_.LineCount());
  EXPECT_EQ(3, ini_.SectionLine(0));
  EXPECT_EQ(8, ini_.SectionLine(1));
  EXPECT_EQ(10, ini_.SectionLine(2));
  EXPECT_EQ(0, ini_.SectionLine(3));
  std::string_view key, value;
  ASSERT_TRUE(ini_.RecordEntry(0, 0, key, value));
  EXPECT_EQ("0", key);
  EXPECT_EQ("A|a.htm", value);
  EXPECT_EQ(5, ini_.LineOf(key));
  EXPECT_EQ(5, ini_.LineOf(value));
  EXPECT_EQ("0 = A|a.htm ;x", ini_.LineText(5));
  ASSERT_TRUE(ini_.RecordEntry(0, 1, key, value));
  EXPECT_EQ(7, ini_.LineOf(value));
  ASSERT_TRUE(ini_.RecordEntry(1, 0, key, value));
  EXPECT_EQ("", value);
  EXPECT_EQ(9, ini_.LineOf(value)) << "an empty value still has its line";
  EXPECT_FALSE(ini_.RecordEntry(1, 1, key, value));
  EXPECT_EQ(2, ini_.EntryCount(0));
  EXPECT_EQ(0, ini_.LineOf(std::string_view("elsewhere")));

  const std::vector<CIniRejected>& rejected = ini_.Rejected();
  ASSERT_EQ(3u, rejected.size());
  EXPECT_EQ(CIniRejected::Kind::kBeforeFirstSection, rejected[0].kind);
  EXPECT_EQ(1, ini_.LineOf(ini_.View(rejected[0].text)));
  EXPECT_EQ("vorher", ini_.View(rejected[0].text));
  EXPECT_EQ(CIniRejected::Kind::kNoEquals, rejected[1].kind);
  EXPECT_EQ("# ohne", ini_.View(rejected[1].text));
  EXPECT_EQ(6, ini_.LineOf(ini_.View(rejected[1].text)));
  EXPECT_FALSE(rejected[1].piece);
  EXPECT_TRUE(rejected[2].piece);
  EXPECT_EQ(7, ini_.LineOf(ini_.View(rejected[2].text)));

  // A later load forgets the lines of the one before.
  EXPECT_EQ(0, Parse("[A]\x1A\r\nvorher\r\n"));
  EXPECT_TRUE(ini_.Rejected().empty());
  EXPECT_EQ(1, ini_.LineCount()) << "0x1A ends the text";
  EXPECT_EQ("", ini_.LineText(2));
}

TEST(IniFileLoadTest, MissingFileGivesCodeOneAndKeepsName) {
  TempDir dir;
  CIniFile ini;
  std::string missing = dir.Path("fehlt.ini");
  EXPECT_EQ(1, ini.Load(SystemPlatform(), missing));
  EXPECT_EQ(0, ini.GetSectionCount());
  EXPECT_EQ(missing, ini.GetFileName());
}

TEST(IniFileLoadTest, FileHeldOpenElsewhereCannotBeLoaded) {
  TempDir dir;
  std::string path = dir.Path("held.ini");
  auto holder = SystemPlatform().NewWritableFile(path, /*exclusive=*/true);
  ASSERT_TRUE(holder);
  holder->Append("[S]\r\na=1\r\n");
  CIniFile ini;
  EXPECT_EQ(1, ini.Load(SystemPlatform(), path));
  holder->Close();
  holder.reset();
  EXPECT_EQ(0, ini.Load(SystemPlatform(), path));
  std::string value;
  EXPECT_TRUE(ini.GetValue("S", "a", value));
}

TEST(IniFileLoadTest, ReadErrorGivesCodeTwoAndKeepsWhatWasRead) {
  FakePlatform platform;
  TempDir dir;
  const std::string text = "[A]\r\nk=1\r\nline without equals\r\n[B]\r\nk=2\r\n";
  ASSERT_TRUE(dir.Write("f.ini", text));
  platform.Fail(FileOp::kRead, dir.Path("f.ini"), 0, text.find("[B]"));
  CIniFile ini;
  // The read error wins over the key line without "=" read before it.
  EXPECT_EQ(2, ini.Load(platform, dir.Path("f.ini")));
  std::string value;
  EXPECT_TRUE(ini.GetValue("A", "k", value));
  EXPECT_EQ("1", value);
  EXPECT_FALSE(ini.GetValue("B", "k", value));
  EXPECT_EQ(dir.Path("f.ini"), ini.GetFileName());

  ASSERT_TRUE(dir.Write("g.ini", text));
  platform.Fail(FileOp::kOpen, dir.Path("g.ini"));
  EXPECT_EQ(1, ini.Load(platform, dir.Path("g.ini")));
  EXPECT_EQ(0, ini.GetSectionCount());
}

TEST(IniFileLoadTest, ReloadStartsEmpty) {
  TempDir dir;
  dir.Write("a.ini", "[A]\r\nx=1\r\n");
  dir.Write("b.ini", "[B]\r\ny=2\r\n");
  CIniFile ini;
  ini.Load(SystemPlatform(), dir.Path("a.ini"));
  ini.Load(SystemPlatform(), dir.Path("b.ini"));
  std::string value;
  EXPECT_FALSE(ini.GetValue("A", "x", value));
  EXPECT_TRUE(ini.GetValue("B", "y", value));
}

}  // namespace

namespace {

TEST(IniFileLoadTest, NoMemoryForTheFileGivesThree) {
  FakePlatform platform;
  TempDir dir;
  dir.Write("a.ini", "[S]\r\nk=v\r\n");
  platform.Fail(FileOp::kMemory, dir.Path("a.ini"));
  CIniFile ini;
  EXPECT_EQ(3, ini.Load(platform, dir.Path("a.ini")));
  EXPECT_EQ(0, ini.GetSectionCount());
  EXPECT_EQ(dir.Path("a.ini"), ini.GetFileName());
}

}  // namespace
