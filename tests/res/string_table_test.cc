#include <gtest/gtest.h>

#include "platform/platform.h"
#include "res/messages.h"

namespace {

// The resource script compiles the same catalogue; quotes, line feeds and
// umlauts must come out of the string table as the C++ side has them.
TEST(StringTableTest, EveryMessageLoadsAsCatalogued) {
  for (int id : {
#define MSG(n, symbol, text) n,
#include "res/messages.def"
#undef MSG
       }) {
    EXPECT_EQ(std::string(CatalogueText(id)), SystemPlatform().LoadString(id)) << id;
  }
  EXPECT_EQ("Die Umgebungsvariable: \"%s\" konnte nicht aufgel\xF6st werden.",
            SystemPlatform().LoadString(103));
}

}  // namespace
