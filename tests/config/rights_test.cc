#include "config/rights.h"

#include <gtest/gtest.h>

#include "config/run_log.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace {

const char kHead[] =
    "(0 ms) \r\n\r\n"
    "(0 ms) Vergebene Rechte in den Vorlage-INI-Dateien\r\n"
    "(0 ms) -------------------------------------------\r\n";

class RightsReportTest : public ::testing::Test {
 protected:
  RightsReportTest() {
    platform_.tick_count = 0;
    log_.SetPath(dir_.Path("run.log"));
  }
  std::string Written() {
    report_.Write(log_);
    log_.Close();
    return dir_.Read("run.log");
  }
  FakePlatform platform_;
  TempDir dir_;
  RunLog log_{platform_};
  RightsReport report_;
};

TEST_F(RightsReportTest, WithoutRowsTheSecondColumnIsTwoWide) {
  EXPECT_EQ(std::string(kHead) + "(0 ms) Recht     ZeileVorlage-INI-Datei\r\n", Written());
}

TEST_F(RightsReportTest, RowsInRecordedOrderPaddedToTheLongestEntry) {
  report_.AddRow("00000001", "Home|index.htm||Tip|00000001", "C:\\v\\a.ini");
  report_.AddRow("0001000300", "B|b.htm||T|0001000300", "C:\\v\\b.ini");
  report_.AddRow("00000001", "Home|index.htm||Tip|00000001", "C:\\v\\a.ini");
  // Longest entry: 28 characters, so the second column is 30 wide.
  EXPECT_EQ(std::string(kHead) +
                "(0 ms) Recht     Zeile                         Vorlage-INI-Datei\r\n"
                "(0 ms) 00000001  Home|index.htm||Tip|00000001  C:\\v\\a.ini\r\n"
                "(0 ms) 0001000300B|b.htm||T|0001000300         C:\\v\\b.ini\r\n"
                "(0 ms) 00000001  Home|index.htm||Tip|00000001  C:\\v\\a.ini\r\n",
            Written());
}

}  // namespace
