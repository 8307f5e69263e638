#include "base/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

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

TEST(TextTest, Cp1252ToUtf8MapsEveryByte) {
  EXPECT_EQ(
      "Pr\xC3\xBC"
      "fen, Stra\xC3\x9F"
      "e",
      Cp1252ToUtf8("Pr\xFC"
                   "fen, Stra\xDF"
                   "e"));
  EXPECT_EQ("\xC2\xA0\xC3\xBF", Cp1252ToUtf8("\xA0\xFF"));
  // The range the code page assigns apart from Latin-1, both ends and the middle.
  EXPECT_EQ("\xE2\x82\xAC", Cp1252ToUtf8("\x80"));  // euro sign
  EXPECT_EQ("\xE2\x80\x9E", Cp1252ToUtf8("\x84"));  // low double quote
  EXPECT_EQ("\xC5\xA0", Cp1252ToUtf8("\x8A"));      // S caron
  EXPECT_EQ("\xE2\x80\x93", Cp1252ToUtf8("\x96"));  // en dash
  EXPECT_EQ("\xE2\x84\xA2", Cp1252ToUtf8("\x99"));  // trade mark
  EXPECT_EQ("\xC5\xB8", Cp1252ToUtf8("\x9F"));      // Y diaeresis
  // Undefined bytes must not reach a terminal as C1 controls.
  for (const char* undefined : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"}) {
    EXPECT_EQ("\xEF\xBF\xBD", Cp1252ToUtf8(undefined)) << int(undefined[0] & 0xFF);
  }
  // ASCII, controls and NUL pass unchanged.
  EXPECT_EQ(std::string("a\r\n\t\0z", 6), Cp1252ToUtf8(std::string_view("a\r\n\t\0z", 6)));
  EXPECT_EQ("", Cp1252ToUtf8(""));
}

TEST(TextTest, Cp1252ToUtf8AgreesWithTheCodePageTable) {
  // Every byte decodes as one valid UTF-8 sequence of the expected length.
  for (int byte = 0; byte < 256; ++byte) {
    const std::string out = Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
    const auto lead = static_cast<unsigned char>(out[0]);
    const size_t expected = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
    EXPECT_EQ(expected, out.size()) << byte;
    for (size_t i = 1; i < out.size(); ++i) {
      EXPECT_EQ(0x80, static_cast<unsigned char>(out[i]) & 0xC0) << byte;
    }
    if (byte >= 0xA0) {
      // Latin-1 part: the code point is the byte.
      EXPECT_EQ(2u, out.size()) << byte;
      EXPECT_EQ(byte, ((lead & 0x1F) << 6) | (static_cast<unsigned char>(out[1]) & 0x3F));
    }
  }
}

TEST(TextTest, TextForConsoleConvertsOnlyForUtf8) {
  EXPECT_TRUE(IsUtf8Codeset("UTF-8"));
  EXPECT_TRUE(IsUtf8Codeset("utf8"));
  EXPECT_FALSE(IsUtf8Codeset("ANSI_X3.4-1968"));  // the C and POSIX locales
  EXPECT_FALSE(IsUtf8Codeset("ISO-8859-15"));
  EXPECT_FALSE(IsUtf8Codeset(""));
  EXPECT_EQ("M\xC3\xA4rz", TextForConsole("M\xE4rz", "UTF-8"));
  EXPECT_EQ("M\xE4rz", TextForConsole("M\xE4rz", "ANSI_X3.4-1968"));
  EXPECT_EQ("M\xE4rz", TextForConsole("M\xE4rz", "ISO-8859-1"));
}

TEST(TextTest, ExpandTabsSetsTheNextCharacterOnTheNextTabStop) {
  EXPECT_EQ("        /CD             nur\r\n1234567 x       y",
            ExpandTabs("\t/CD\t\tnur\r\n1234567\tx\ty", 8));
  EXPECT_EQ("12345678        x", ExpandTabs("12345678\tx", 8)) << "a full cell gets a whole tab";
  // Random lines checked against what a tab stop means: one to `width`
  // blanks, after which the column is a multiple of `width`.
  std::mt19937 random(8);
  const std::string alphabet = "ab \t\t\r\n\xE4";
  for (int round = 0; round < 2000; ++round) {
    const int width = 1 + static_cast<int>(random() % 9);
    std::string text;
    for (int n = static_cast<int>(random() % 40); n > 0; --n)
      text += alphabet[random() % alphabet.size()];
    const std::string out = ExpandTabs(text, width);
    SCOPED_TRACE(text);
    ASSERT_EQ(std::string::npos, out.find('\t'));
    size_t at = 0;
    int column = 0;
    for (char c : text) {
      if (c != '\t') {
        ASSERT_LT(at, out.size());
        ASSERT_EQ(c, out[at++]);
        column = (c == '\r' || c == '\n') ? 0 : column + 1;
        continue;
      }
      int blanks = 0;
      while (at < out.size() && out[at] == ' ' && blanks < width &&
             (blanks == 0 || (column + blanks) % width != 0)) {
        ++blanks;
        ++at;
      }
      ASSERT_GE(blanks, 1);
      ASSERT_EQ(0, (column + blanks) % width);
      column += blanks;
    }
    ASSERT_EQ(out.size(), at);
  }
}
