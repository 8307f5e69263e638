#include "check/ini_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IniScanTest, EveryLineWithTheReadersVerdictAndItsNumber) {
  auto lines = ScanIniLines(
      "vorher=1\r\n"                     // 1: before the first section
      "\xEF\xBB\xBF[Kopf]\r\n"           // 2: not a header (the mark comes first)
      "[Vorlage]\r\n"                    // 3
      "; Kommentar\r\n"                  // 4
      "# Kommentar\r\n"                  // 5: no "=", the load reports 4
      "#1=Text|a.htm\r\n"                // 6: a key line whose key begins with #
      "0=Home|a.htm|Start ;alt|Tip\r\n"  // 7: cut
      "Sichtbar=1\t; ja\r\n"             // 8: cut, an ordinary end-of-line comment
      "\r\n"                             // 9
      "  [ Zwei ]  ; x\n"                // 10: a header with blanks in its name
      "ohne");                           // 11: last line without a line break
  ASSERT_EQ(11u, lines.size());
  EXPECT_EQ(IniLineKind::kBeforeFirstSection, lines[0].kind);
  EXPECT_EQ(IniLineKind::kBeforeFirstSection, lines[1].kind);
  EXPECT_EQ(IniLineKind::kHeader, lines[2].kind);
  EXPECT_EQ("Vorlage", lines[2].section);
  EXPECT_EQ(IniLineKind::kIgnored, lines[3].kind);
  EXPECT_EQ(IniLineKind::kNoEquals, lines[4].kind);
  EXPECT_EQ(5u, lines[4].number);
  EXPECT_EQ("Vorlage", lines[4].section);
  EXPECT_EQ(IniLineKind::kKey, lines[5].kind);
  EXPECT_EQ("#1", lines[5].key);
  EXPECT_EQ("0", lines[6].key);
  EXPECT_EQ("Home|a.htm|Start", lines[6].value);
  EXPECT_EQ(";alt|Tip", lines[6].cut_off);
  EXPECT_EQ("0=Home|a.htm|Start ;alt|Tip", lines[6].raw);
  EXPECT_EQ("1", lines[7].value);
  EXPECT_EQ("; ja", lines[7].cut_off);
  EXPECT_EQ(IniLineKind::kIgnored, lines[8].kind);
  EXPECT_EQ(IniLineKind::kHeader, lines[9].kind);
  EXPECT_EQ(" Zwei ", lines[9].section);
  EXPECT_EQ(IniLineKind::kNoEquals, lines[10].kind);
  EXPECT_EQ(" Zwei ", lines[10].section);
  EXPECT_EQ(11u, lines[10].number);
}

TEST(IniScanTest, LongLinesComeInTheReadersPiecesUnderOneNumber) {
  std::string key_line = "0=" + std::string(1498, 'x');  // 1500 bytes
  auto lines = ScanIniLines("[A]\n" + key_line + "\n[B]\n");
  ASSERT_EQ(4u, lines.size());
  EXPECT_EQ(IniLineKind::kKey, lines[1].kind);
  EXPECT_EQ(1020u, lines[1].value.size());
  EXPECT_FALSE(lines[1].piece);
  EXPECT_EQ(IniLineKind::kNoEquals, lines[2].kind);
  EXPECT_TRUE(lines[2].piece);
  EXPECT_EQ(2u, lines[2].number);
  EXPECT_EQ(3u, lines[3].number);
  // 1021 bytes and the line feed are one piece.
  EXPECT_EQ(2u, ScanIniLines("[A]\n0=" + std::string(1019, 'x') + "\n").size());
}

TEST(IniScanTest, TextModeEndsAtControlZAndFindsKeysAndHeaders) {
  auto lines = ScanIniLines("[Rechte]\r\nMueller=1\r\nmueller=2\x1A[Server]\r\nx=1\r\n");
  ASSERT_EQ(3u, lines.size());
  const IniLine* first = FindKeyLine(lines, "RECHTE", "MUELLER");
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(2u, first->number);
  EXPECT_EQ(nullptr, FindKeyLine(lines, "Server", "x"));
  ASSERT_NE(nullptr, FindHeaderLine(lines, "rechte"));
  EXPECT_EQ(1u, FindHeaderLine(lines, "rechte")->number);
  EXPECT_EQ(nullptr, FindHeaderLine(lines, "Server"));
}

}  // namespace
