#include <gtest/gtest.h>

#include <string>

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

TEST(SystemPlatformTest, ProgramFileExists) {
  const std::string module = SystemPlatform().GetProgramPath();
  EXPECT_EQ(SystemPlatform().FindPath(module), PathKind::kFile) << module;
}

TEST(SystemPlatformTest, StartProcessReportsMissingProgram) {
  unsigned error = 0;
  EXPECT_FALSE(SystemPlatform().StartProcess("pagetrix-no-such-program-here.exe /x", &error));
  EXPECT_NE(error, 0u);
  EXPECT_FALSE(SystemPlatform().FormatSystemMessage(error).empty());
}

TEST(SystemPlatformTest, StartProcessLaunchesAQuotedProgram) {
  // The test program itself, asked for a test list that comes out empty.
  std::string line = "\"";
  line += SystemPlatform().GetProgramPath();
  line += "\" --gtest_list_tests --gtest_filter=NoSuchTest.None";
  unsigned error = 1;
  EXPECT_TRUE(SystemPlatform().StartProcess(line, &error));
  EXPECT_EQ(error, 0u);
}

TEST(ScopedPlatformTest, InstallsAndRestores) {
  Platform* before = &GetPlatform();
  {
    ScopedPlatform scoped;
    EXPECT_EQ(&GetPlatform(), &scoped.fake());
    scoped->tick_count = 100;
    scoped->tick_step = 5;
    EXPECT_EQ(GetPlatform().GetTickCount(), 100u);
    EXPECT_EQ(GetPlatform().GetTickCount(), 105u);
    scoped->classes_root["Word.Application\\CLSID"] = "{X}";
    std::string value;
    EXPECT_TRUE(GetPlatform().ReadClassesRootDefault("word.application\\clsid", &value));
    EXPECT_EQ(value, "{X}");
    GetPlatform().ShowMessageBox("hello");
    EXPECT_EQ(scoped->message_boxes, std::vector<std::string>{"hello"});
  }
  EXPECT_EQ(&GetPlatform(), before);
}

}  // namespace
