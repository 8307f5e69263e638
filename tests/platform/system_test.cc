#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/guid_text.h"
#include "platform/platform.h"
#include "support/fake_platform.h"
#include "support/print.h"

namespace {

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

TEST(SystemPlatformTest, GuidTextHasRegistryForm) {
  const std::string guid = SystemPlatform().CreateGuidText();
  ASSERT_EQ(guid.size(), 38u) << guid;
  EXPECT_EQ(guid.front(), '{');
  EXPECT_EQ(guid.back(), '}');
  for (size_t i = 1; i < 37; ++i) {
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      EXPECT_EQ(guid[i], '-') << guid;
    } else {
      EXPECT_TRUE(IsUpperHex(guid[i])) << guid;
    }
  }
  EXPECT_NE(SystemPlatform().CreateGuidText(), guid);
}

TEST(GuidTextTest, DigitsFollowTheBytesWithVersionAndVariantMarked) {
  const unsigned char zeros[16] = {};
  EXPECT_EQ(RandomGuidText(zeros), "{00000000-0000-4000-8000-000000000000}");
  unsigned char ones[16];
  for (unsigned char& b : ones) b = 0xFF;
  EXPECT_EQ(RandomGuidText(ones), "{FFFFFFFF-FFFF-4FFF-BFFF-FFFFFFFFFFFF}");
  const unsigned char counting[16] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF,
                                      0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};
  EXPECT_EQ(RandomGuidText(counting), "{01234567-89AB-4DEF-9032-547698BADCFE}");
}

TEST(SystemPlatformTest, GuidsAreRandomOnesAndNeverRepeat) {
  std::set<std::string> seen;
  std::set<char> first_digits;
  for (int i = 0; i < 2000; ++i) {
    const std::string guid = SystemPlatform().CreateGuidText();
    ASSERT_EQ(guid.size(), 38u) << guid;
    // Version 4 (random), variant of RFC 4122, as the system's own GUIDs.
    EXPECT_EQ(guid[15], '4') << guid;
    EXPECT_NE(std::string("89AB").find(guid[20]), std::string::npos) << guid;
    EXPECT_TRUE(seen.insert(guid).second) << guid;
    first_digits.insert(guid[1]);
  }
  // Every digit turns up where the bits are random.
  EXPECT_EQ(first_digits.size(), 16u);
}

TEST(SystemPlatformTest, ProgramFileExists) {
  const std::string module = SystemPlatform().GetProgramPath();
  EXPECT_EQ(SystemPlatform().FindPath(module), PathKind::kFile) << module;
}

TEST(SystemPlatformTest, StartProcessReportsMissingProgram) {
  std::string failure;
  EXPECT_FALSE(SystemPlatform().StartProcess("pagetrix-no-such-program-here.exe /x", &failure));
  EXPECT_FALSE(failure.empty());
}

TEST(SystemPlatformTest, StartProcessLaunchesAQuotedProgram) {
  // The test program itself, asked for a test list that comes out empty.
  std::string line = "\"";
  line += SystemPlatform().GetProgramPath();
  line += "\" --gtest_list_tests --gtest_filter=NoSuchTest.None";
  std::string failure = "stale";
  EXPECT_TRUE(SystemPlatform().StartProcess(line, &failure));
  EXPECT_EQ(failure, "");
}

}  // namespace
