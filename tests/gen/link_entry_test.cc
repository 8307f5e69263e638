#include "gen/link_entry.h"

#include "gen/gen_fixture.h"

namespace {

class LinkFilterTest : public GenTest {};

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
  platform_->SetEnvVar("PAGETRIX_TEST_FLAGS", "0x10001");
  filter_.rights_flags = 0x00000004;
  LoadCommands("[L]\r\n0=x\r\n");
  LinkEntry entry;
  ASSERT_TRUE(gen_.ProcessLinkEntry(commands_, "a|b|c|d| 0004zz |%PAGETRIX_TEST_FLAGS%", entry));
  EXPECT_EQ(4u, entry.rights);
  EXPECT_EQ(0x10001u, entry.flags);
  ASSERT_TRUE(gen_.ProcessLinkEntry(commands_, "a|b|c|d|xyz|", entry));
  EXPECT_EQ(0u, entry.rights);
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
