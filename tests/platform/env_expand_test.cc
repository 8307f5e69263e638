#include "platform/env_expand.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class ExpandPercentReferencesTest : public ::testing::Test {
 protected:
  std::string Expand(const std::string& text) {
    return ExpandPercentReferences(text, [this](const std::string& name, std::string* value) {
      auto it = variables_.find(name);
      if (it == variables_.end()) return false;
      *value = it->second;
      return true;
    });
  }

  std::map<std::string, std::string> variables_ = {{"A", "alpha"}, {"E", ""}, {"P", "%A%"}};
};

TEST_F(ExpandPercentReferencesTest, DefinedReferencesAreReplacedOnce) {
  EXPECT_EQ(Expand("x%A%y%A%"), "xalphayalpha");
  EXPECT_EQ(Expand("[%E%]"), "[]");
  EXPECT_EQ(Expand("%P%"), "%A%");
  EXPECT_EQ(Expand(""), "");
}

TEST_F(ExpandPercentReferencesTest, UndefinedReferencesStay) {
  EXPECT_EQ(Expand("a%NOPE%b"), "a%NOPE%b");
  EXPECT_EQ(Expand("100%"), "100%");
  EXPECT_EQ(Expand("%"), "%");
  EXPECT_EQ(Expand("%%"), "%%");
}

TEST_F(ExpandPercentReferencesTest, ClosingPercentOfUndefinedNameOpensNextReference) {
  EXPECT_EQ(Expand("50% of %A%"), "50% of alpha");
  EXPECT_EQ(Expand("%NOPE%A%"), "%NOPEalpha");
  EXPECT_EQ(Expand("%%A%%"), "%alpha%");
  EXPECT_EQ(Expand("%NOPE%A"), "%NOPE%A");
}

}  // namespace
