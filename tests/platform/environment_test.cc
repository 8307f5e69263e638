#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/env_block.h"
#include "platform/platform.h"

namespace {

class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvVars(platform_, {{"PAGETRIX_T_A", "alpha"}});
    SetEnvVars(platform_, {{"PAGETRIX_T_B", "b%PAGETRIX_T_A%"}});
  }
  std::string Expand(const std::string& text) { return platform_.ExpandEnvVars(text); }

  Platform& platform_ = SystemPlatform();
};

TEST_F(EnvironmentTest, DefinedReferencesAreReplaced) {
  EXPECT_EQ(Expand("x%PAGETRIX_T_A%y%PAGETRIX_T_A%"), "xalphayalpha");
  EXPECT_EQ(Expand("no references"), "no references");
  // Names match without regard to case; values are not expanded again.
  EXPECT_EQ(Expand("%pagetrix_t_a%"), "alpha");
  EXPECT_EQ(Expand("%PAGETRIX_T_B%"), "b%PAGETRIX_T_A%");
}

TEST_F(EnvironmentTest, UndefinedReferencesStay) {
  EXPECT_EQ(Expand("%PAGETRIX_T_UNDEFINED%"), "%PAGETRIX_T_UNDEFINED%");
  EXPECT_EQ(Expand("a%PAGETRIX_T_UNDEFINED%b"), "a%PAGETRIX_T_UNDEFINED%b");
  EXPECT_EQ(Expand("100%"), "100%");
  EXPECT_EQ(Expand("%"), "%");
}

TEST_F(EnvironmentTest, EmptyValueExpandsToNothing) {
  SetEnvVars(platform_, {{"PAGETRIX_T_EMPTY", ""}});
  std::string value = "not cleared";
  EXPECT_TRUE(platform_.GetEnvVar("PAGETRIX_T_EMPTY", &value));
  EXPECT_EQ(value, "");
  EXPECT_EQ(Expand("[%PAGETRIX_T_EMPTY%]"), "[]");
}

TEST_F(EnvironmentTest, LongValuesAreKeptWhole) {
  const std::string long_value(9000, 'v');
  SetEnvVars(platform_, {{"PAGETRIX_T_LONG", long_value}});
  std::string value;
  ASSERT_TRUE(platform_.GetEnvVar("PAGETRIX_T_LONG", &value));
  EXPECT_EQ(value, long_value);
  EXPECT_EQ(Expand("<%PAGETRIX_T_LONG%>"), "<" + long_value + ">");
}

TEST_F(EnvironmentTest, MissingVariableIsReported) {
  std::string value = "stale";
  EXPECT_FALSE(platform_.GetEnvVar("PAGETRIX_T_UNDEFINED", &value));
  EXPECT_EQ(value, "");
}

TEST_F(EnvironmentTest, BlockHoldsEverySetVariable) {
  std::vector<std::string> block = platform_.GetEnvironmentBlock();
  EXPECT_NE(std::find(block.begin(), block.end(), "PAGETRIX_T_A=alpha"), block.end());
  EXPECT_NE(std::find(block.begin(), block.end(), "PAGETRIX_T_B=b%PAGETRIX_T_A%"), block.end());
}

}  // namespace
