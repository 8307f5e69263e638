#include "gen/link_entry.h"

#include "fs/util.h"
#include "gen/gen_fixture.h"
#include "platform/env_block.h"

namespace {

class LinkFilterTest : public GenTest {};

// The one-pass split must give each field exactly as the field-by-field one.
TEST(SplitLinkFieldsTest, AgreesWithTheFieldByFieldSplit) {
  const char* const texts[] = {"",
                               "a",
                               "|",
                               "a|b|c|d|e|f",
                               "a|b|c|d|e|f|g|h|i",
                               " a | b |",
                               "||||||",
                               "\t x \t|\r\n",
                               "a||c",
                               "Text|link|||00000001"};
  for (const char* text : texts) {
    std::string_view fields[kLinkFieldCount];
    std::string_view* const out[] = {&fields[0], &fields[1], &fields[2], &fields[3],
                                     &fields[4], &fields[5], &fields[6]};
    for (std::string_view& field : fields) field = "stale";
    bool percent = true, nul = true;
    SplitLinkFields(text, out, percent, nul);
    EXPECT_FALSE(percent);
    EXPECT_FALSE(nul);
    for (int n = 1; n <= kLinkFieldCount; ++n) {
      std::string expected;
      GetField(expected, text, n, '|');
      EXPECT_EQ(expected, fields[n - 1]) << "field " << n << " of '" << text << "'";
    }
  }
}

TEST(SplitLinkFieldsTest, TellsOfPercentAndNulInsideTheFields) {
  using namespace std::string_literals;
  std::string_view fields[kLinkFieldCount];
  std::string_view* const out[] = {&fields[0], &fields[1], &fields[2], &fields[3],
                                   &fields[4], &fields[5], &fields[6]};
  bool percent = false, nul = false;
  SplitLinkFields("a|%X%|c", out, percent, nul);
  EXPECT_TRUE(percent);
  EXPECT_FALSE(nul);
  const std::string with_nul = "a|b\0c"s;
  SplitLinkFields(with_nul, out, percent, nul);
  EXPECT_FALSE(percent);
  EXPECT_TRUE(nul);
  EXPECT_EQ("b\0c"s, fields[1]);
  // The seventh field, the symbol, counts; past it nothing does.
  const std::string with_symbol = "1|2|3|4|5|6|%S%.png";
  SplitLinkFields(with_symbol, out, percent, nul);
  EXPECT_TRUE(percent);
  EXPECT_EQ("%S%.png", fields[6]);
  const std::string with_eight = "1|2|3|4|5|6|7|%\0"s;
  SplitLinkFields(with_eight, out, percent, nul);
  EXPECT_FALSE(percent);
  EXPECT_FALSE(nul);
  EXPECT_EQ("7", fields[6]);
}

TEST_F(LinkFilterTest, UserWithoutRights) {
  filter_.rights_flags = 0;
  EXPECT_TRUE(gen_.IsLinkAllowed(0, 0));
  EXPECT_TRUE(gen_.IsLinkAllowed(0x00010000, 0));
  EXPECT_FALSE(gen_.IsLinkAllowed(0x00000001, 0));
  EXPECT_FALSE(gen_.IsLinkAllowed(0x00010001, 0));
}

TEST_F(LinkFilterTest, AllowedAndForbiddenGroups) {
  filter_.rights_flags = 0x00010003;
  EXPECT_TRUE(gen_.IsLinkAllowed(0x00000001, 0));
  EXPECT_TRUE(gen_.IsLinkAllowed(0x00000002, 0));
  EXPECT_FALSE(gen_.IsLinkAllowed(0x00000004, 0));
  EXPECT_FALSE(gen_.IsLinkAllowed(0x00010001, 0));
  EXPECT_FALSE(gen_.IsLinkAllowed(0x00010000, 0));
  EXPECT_TRUE(gen_.IsLinkAllowed(0x00020000, 0));
  filter_.rights_flags = 0x00000002;
  EXPECT_TRUE(gen_.IsLinkAllowed(0x00010002, 0));
}

TEST_F(LinkFilterTest, ServerProhibitionUsesHighBitsOnly) {
  filter_.server_flags = 0x00010001;
  EXPECT_FALSE(gen_.IsLinkAllowed(0, 0x00010000));
  EXPECT_TRUE(gen_.IsLinkAllowed(0, 0x00000001));
  EXPECT_TRUE(gen_.IsLinkAllowed(0, 0));
  EXPECT_TRUE(gen_.IsLinkAllowed(0, 0x00020000));
}

TEST_F(LinkFilterTest, NotFromCdHidesOnlyOnCdDrives) {
  EXPECT_TRUE(gen_.IsLinkAllowed(0, kLinkNotFromCd));
  filter_.start_drive_type = DriveType::kCdRom;
  EXPECT_FALSE(gen_.IsLinkAllowed(0, kLinkNotFromCd));
  EXPECT_TRUE(gen_.IsLinkAllowed(0, kLinkNewWindow));
}

TEST_F(LinkFilterTest, HexFieldsAndEnvironmentInRightsAndFlags) {
  SetEnvVars(platform_, {{"PAGETRIX_TEST_FLAGS", "0x10001"}});
  filter_.rights_flags = 0x00000004;
  LoadCommands("[L]\r\n0=x\r\n");
  LinkEntry entry;
  ASSERT_TRUE(gen_.ProcessLinkEntry(commands_, "a|b|c|d| 0004zz |%PAGETRIX_TEST_FLAGS%", entry));
  EXPECT_EQ(4u, entry.rights);
  EXPECT_EQ(0x10001u, entry.flags);
  ASSERT_TRUE(gen_.ProcessLinkEntry(commands_, "a|b|c|d|xyz|", entry));
  EXPECT_EQ(0u, entry.rights);
  EXPECT_EQ("", entry.symbol);
  // The symbol is expanded like the link.
  SetEnvVars(platform_, {{"PAGETRIX_TEST_ICONS", "bilder"}});
  ASSERT_TRUE(gen_.ProcessLinkEntry(commands_, "a|b|c|d||| %PAGETRIX_TEST_ICONS%\\x.png |", entry));
  EXPECT_EQ("bilder\\x.png", entry.symbol);
}

TEST_F(LinkFilterTest, LogsProcessedThenDeniedAndKeepsPercentText) {
  EnableLog();
  filter_.rights_flags = 0x00000001;
  LoadCommands("[L]\r\n0=x\r\n");
  LinkEntry entry;
  EXPECT_FALSE(gen_.ProcessLinkEntry(commands_, "Geheim|g.htm|||00000002", entry));
  EXPECT_TRUE(gen_.ProcessLinkEntry(commands_, "50% Rabatt|r.htm", entry));
  EXPECT_EQ("50% Rabatt", entry.text);
  EXPECT_EQ(
      "Verarbeite diesen Link: 'Geheim|g.htm|||00000002'\r\n"
      "Kein Recht f\xFCr diesen Link: 'Geheim|g.htm|||00000002'\r\n"
      "Verarbeite diesen Link: '50% Rabatt|r.htm'\r\n"
      "Die Umgebungsvariable: \"50% Rabatt\" konnte nicht aufgel\xF6st werden.\r\n",
      LogText());
}

TEST_F(LinkFilterTest, RightsReportRowsForEntriesWithRightsShownOrNot) {
  EnableLog();
  LoadCommands("[L]\r\n0=x\r\n");
  LinkEntry entry;
  EXPECT_FALSE(gen_.ProcessLinkEntry(commands_, "Geheim|g.htm|||00000002", entry));
  EXPECT_TRUE(gen_.ProcessLinkEntry(commands_, "Offen|o.htm", entry));
  EXPECT_TRUE(gen_.ProcessLinkEntry(commands_, "Hoch|h.htm|||00010000", entry));
  report_.Write(log_);
  std::string log = LogText();
  EXPECT_NE(std::string::npos,
            log.find("00000002  Geheim|g.htm|||00000002  " + dir_.Path("cmd.ini") + "\r\n"));
  EXPECT_NE(std::string::npos,
            log.find("00010000  Hoch|h.htm|||00010000    " + dir_.Path("cmd.ini") + "\r\n"));
  EXPECT_EQ(std::string::npos, log.find("Offen|o.htm  "));
}

}  // namespace
