#include <gtest/gtest.h>

#include <string>

#include "base/message_catalogue.h"
#include "platform/string_resource.h"

namespace {

// The resource compiler builds the string table from the same catalogue the
// program takes its messages from; the table is what other tools read.
TEST(StringTableTest, EveryResourceStringEqualsTheCatalogue) {
  for (int id : {
#define MSG(n, symbol, text) n,
#include "base/messages.def"
#undef MSG
       }) {
    EXPECT_EQ(std::string(CatalogueText(id)), StringResource(id)) << id;
  }
  EXPECT_EQ("", StringResource(9999));
}

}  // namespace
