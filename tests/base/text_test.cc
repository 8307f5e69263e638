#include "base/text.h"

#include <gtest/gtest.h>

TEST(TextTest, ParseHexReadsAsPercentX) {
  EXPECT_EQ(0x00010003u, ParseHex("00010003"));
  EXPECT_EQ(0xABCu, ParseHex("  0xabc"));
  EXPECT_EQ(0x12u, ParseHex("12zz"));
  EXPECT_EQ(0u, ParseHex("ghi"));
  EXPECT_EQ(0u, ParseHex(""));
  // More than eight digits keep the low 32 bits.
  EXPECT_EQ(0x23456789u, ParseHex("123456789"));
}

TEST(TextTest, ParseLeadingIntReadsAsAtoi) {
  EXPECT_EQ(48, ParseLeadingInt("48h"));
  EXPECT_EQ(-1, ParseLeadingInt(" -1"));
  EXPECT_EQ(0, ParseLeadingInt("abc"));
  EXPECT_EQ(0, ParseLeadingInt("00"));
  EXPECT_EQ(2147483647, ParseLeadingInt("99999999999999"));
}

TEST(TextTest, UpperCaseMapping) {
  EXPECT_EQ("\xC4\xD6\xDC\xDF", ToUpperAnsi("\xE4\xF6\xFC\xDF"));
  EXPECT_EQ("MENU2 \xF7", ToUpperAnsi("Menu2 \xF7"));
  EXPECT_EQ("\x8A\x9F", ToUpperAnsi("\x9A\xFF"));
  EXPECT_TRUE(EqualsNoCaseAscii("Vorlage", "VORLAGE"));
  EXPECT_FALSE(EqualsNoCaseAscii("\xE4", "\xC4"));
}
