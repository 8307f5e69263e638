#include "platform/env_block.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using Block = std::vector<std::string>;

TEST(ApplyAssignmentsTest, LikeOneSetterCallPerAssignment) {
  Block block = {"=C:=C:\\x", "Path=C:\\bin", "path=other", "HOME=/root"};
  ApplyAssignments(block, {{"PATH", "a"},
                           {"path", "b"},
                           {"New", "1"},
                           {"NEW", "2"},
                           {"home", ""},
                           {"=C:", "taken"},
                           {"", "x"},
                           {"a=b", "x"}});
  EXPECT_EQ((Block{"=C:=C:\\x", "Path=a", "path=b", "HOME=", "New=2"}), block);
}

TEST(ApplyAssignmentsTest, ManyVariablesKeepTheirOrder) {
  Block block;
  std::vector<std::pair<std::string, std::string>> assignments;
  for (int i = 0; i < 100000; ++i) assignments.emplace_back("V" + std::to_string(i), "x");
  assignments.emplace_back("v5", "again");
  ApplyAssignments(block, assignments);
  ASSERT_EQ(100000u, block.size());
  EXPECT_EQ("V0=x", block[0]);
  EXPECT_EQ("V5=again", block[5]);
  EXPECT_EQ("V99999=x", block[99999]);
}
