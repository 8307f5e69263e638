#include "check/detectors.h"

#include <gtest/gtest.h>

namespace {

#define kSettings \
  { "Ueberschrift", "FontTabelle", "FontUeberschrift", "Border", "SpaltenBreite1", "TreeMenu" }

TEST(NearMissNameTest, MisspellingsAndUmlautSpellingsOfSettingKeys) {
  EXPECT_EQ("Ueberschrift", NearMissName("Ueberschift", kSettings));
  EXPECT_EQ("Ueberschrift", NearMissName("\xDC"
                                         "berschrift",
                                         kSettings));  // Windows-1252
  EXPECT_EQ("Ueberschrift", NearMissName("\xC3\x9C"
                                         "berschrift",
                                         kSettings));  // UTF-8
  EXPECT_EQ("Ueberschrift", NearMissName("Uberschrift", kSettings));
  EXPECT_EQ("FontTabelle", NearMissName("Font Tabelle", kSettings));
  EXPECT_EQ("FontTabelle", NearMissName("FontTabele", kSettings));
  EXPECT_EQ("SpaltenBreite1", NearMissName("Spaltenbreite", kSettings));
  EXPECT_EQ("TreeMenu", NearMissName("TreeMneu", kSettings));  // transposition
  EXPECT_EQ("Border", NearMissName("Boder", kSettings));
}

TEST(NearMissNameTest, ExactKeysNumbersAndFarNamesAreNoMisses) {
  EXPECT_EQ("", NearMissName("UEBERSCHRIFT", kSettings));
  EXPECT_EQ("", NearMissName("border", kSettings));
  EXPECT_EQ("", NearMissName("17", kSettings));
  EXPECT_EQ("", NearMissName("Text", kSettings));
  EXPECT_EQ("", NearMissName("Rahmen", kSettings));
  EXPECT_EQ("", NearMissName("Order2", kSettings));  // two edits from a short name
  EXPECT_EQ("", NearMissName("", kSettings));
  // An exact setting of this section wins over a near one elsewhere.
  EXPECT_EQ("", NearMissName("Vorlage", {"Vorlage", "Vorlagen"}));
}

TEST(EditDistanceTest, CountsInsertionsDeletionsSubstitutionsAndSwaps) {
  EXPECT_EQ(0u, EditDistance("abc", "abc"));
  EXPECT_EQ(1u, EditDistance("abc", "abxc"));
  EXPECT_EQ(1u, EditDistance("abc", "ac"));
  EXPECT_EQ(1u, EditDistance("abc", "abd"));
  EXPECT_EQ(1u, EditDistance("abc", "acb"));
  EXPECT_EQ(3u, EditDistance("", "abc"));
  EXPECT_EQ(3u, EditDistance("kitten", "sitting"));
}

TEST(Utf8Test, FindsTheMarkAndMultiByteSequencesButNotAnsiUmlauts) {
  EXPECT_TRUE(StartsWithUtf8Bom("\xEF\xBB\xBF[Vorlage]"));
  EXPECT_FALSE(StartsWithUtf8Bom("[Vorlage]"));
  EXPECT_EQ(1u, FindUtf8Sequence("M\xC3\xA4rz"));
  EXPECT_EQ(0u, FindUtf8Sequence("\xE2\x82\xAC"));  // the euro sign
  EXPECT_EQ(std::string_view::npos, FindUtf8Sequence("M\xE4rz"));
  EXPECT_EQ(std::string_view::npos, FindUtf8Sequence("Gr\xF6\xDF"
                                                     "e"));
  EXPECT_EQ(std::string_view::npos, FindUtf8Sequence("\xC3"));      // cut short
  EXPECT_EQ(std::string_view::npos, FindUtf8Sequence("\xC0\x80"));  // overlong
}

TEST(HexTextTest, EightDigitsReadableAndNotHex) {
  EXPECT_EQ(HexText::kEmpty, ClassifyHexText(""));
  EXPECT_EQ(HexText::kEightDigits, ClassifyHexText("00010003"));
  EXPECT_EQ(HexText::kEightDigits, ClassifyHexText("FFff0000"));
  EXPECT_EQ(HexText::kReadable, ClassifyHexText("1"));
  EXPECT_EQ(HexText::kReadable, ClassifyHexText("0x00010003"));
  EXPECT_EQ(HexText::kReadable, ClassifyHexText("00010003 Gruppe"));
  EXPECT_EQ(HexText::kReadable, ClassifyHexText("000100030"));
  EXPECT_EQ(HexText::kNotHex, ClassifyHexText("ja"));
  EXPECT_EQ(HexText::kNotHex, ClassifyHexText("%RECHT%"));
  EXPECT_TRUE(HasOnlyHighRights(0x00010000));
  EXPECT_FALSE(HasOnlyHighRights(0x00010001));
  EXPECT_FALSE(HasOnlyHighRights(0));
  EXPECT_EQ(0u, 0x00000008 & kMeaningfulLinkFlags);
  EXPECT_EQ(0x00010005u, 0x00010005 & kMeaningfulLinkFlags);
}

TEST(TemplateSpotsTest, WordsTitlesAndTagsAcrossLines) {
  TemplateSpots spots({"<html><head>", "<title>Intranet", "der Firma</title></head>",
                       "<body class=\"intranet\">", "<td>INTRANET</td> Intranetseiten intranet",
                       "M\xE4nner men\xFC"});
  // A title that began on the line before still holds.
  PlaceholderSpot title = spots.At(2, 7, 8);
  EXPECT_TRUE(title.in_title);
  EXPECT_FALSE(title.inside_word || title.in_tag);
  EXPECT_TRUE(spots.At(3, 0, 3).in_title);
  PlaceholderSpot tag = spots.At(4, 13, 8);
  EXPECT_TRUE(tag.in_tag);
  EXPECT_FALSE(tag.in_title);
  PlaceholderSpot cell = spots.At(5, 4, 8);
  EXPECT_FALSE(cell.inside_word || cell.in_tag || cell.in_title);
  EXPECT_TRUE(spots.At(5, 18, 8).inside_word);  // Intranetseiten
  EXPECT_FALSE(spots.At(5, 33, 8).inside_word);
  // Umlauts are letters too.
  EXPECT_TRUE(spots.At(6, 7, 3).inside_word);
  // Out of the lines: nothing to say.
  PlaceholderSpot none = spots.At(9, 0, 1);
  EXPECT_FALSE(none.inside_word || none.in_tag || none.in_title);
}

TEST(CharsetTest, ReadsTheMetaDeclaration) {
  EXPECT_EQ("windows-1252",
            DeclaredCharset("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                            "charset=windows-1252\">"));
  EXPECT_EQ("utf-8", DeclaredCharset("<META CHARSET=\"UTF-8\">"));
  EXPECT_EQ("iso-8859-1", DeclaredCharset("<meta charset=iso-8859-1>"));
  EXPECT_EQ("", DeclaredCharset("<html><head></head></html>"));
  EXPECT_TRUE(IsAnsiCharset("windows-1252"));
  EXPECT_TRUE(IsAnsiCharset("iso-8859-1"));
  EXPECT_FALSE(IsAnsiCharset("utf-8"));
}

// Backslashes in a tree menu text that change what the browser shows.
TEST(LinkTextTest, ScriptBreakers) {
  EXPECT_EQ(std::string_view::npos, FindScriptBreaker("Personal \"neu\""));
  EXPECT_EQ(std::string_view::npos, FindScriptBreaker("Max's Seite"));  // escaped by the writer
  EXPECT_EQ(std::string_view::npos, FindScriptBreaker("Max\\'s \\\\Seite"));
  EXPECT_EQ(5u, FindScriptBreaker("\\\\srv\\share"));
  EXPECT_EQ(0u, FindScriptBreaker("\\d"));
  EXPECT_EQ(0u, FindScriptBreaker("\\x41"));
  EXPECT_EQ(2u, FindScriptBreaker("\\\\\\u{1F600}"));
  // Written as they stand: the browser shows them so.
  for (const char* kept : {"\\", "Pfad\\", "\\x4", "\\xg1", "\\u00", "\\u{}", "\\u{110000}",
                           "\\u{12", "a\\\\'b", "\\\\\\"})
    EXPECT_EQ(std::string_view::npos, FindScriptBreaker(kept)) << kept;
}

TEST(LinkTargetTest, RelativeLinksAndTheirFiles) {
  for (const char* relative : {"hilfe.htm", "bilder/a.gif", "hilfe.htm#oben", "a.htm?x=1:2"})
    EXPECT_TRUE(IsRelativeLink(relative)) << relative;
  for (const char* other :
       {"", "#oben", "http://intranet/", "mailto:a@b", "file://srv/x", "javascript:void(0)",
        "C:\\Daten\\a.htm", "\\\\srv\\share\\a.htm", "/abs.htm", "%INTRANET%\\a.htm"})
    EXPECT_FALSE(IsRelativeLink(other)) << other;
  EXPECT_EQ("hilfe.htm", LinkFileName("hilfe.htm#oben"));
  EXPECT_EQ("a.htm", LinkFileName("a.htm?x=1"));
}

TEST(PlainTextTest, WildcardsAndIntegers) {
  EXPECT_TRUE(HasWildcard("C:\\Vorlagen\\*.ini"));
  EXPECT_TRUE(HasWildcard("Entwurf?.htm"));
  EXPECT_FALSE(HasWildcard("C:\\Vorlagen\\Entwurf.htm"));
  EXPECT_TRUE(IsPlainInteger("24"));
  EXPECT_TRUE(IsPlainInteger("-1"));
  EXPECT_FALSE(IsPlainInteger("24h"));
  EXPECT_FALSE(IsPlainInteger(""));
  EXPECT_FALSE(IsPlainInteger("-"));
  EXPECT_FALSE(IsPlainInteger("ein Tag"));
}

}  // namespace
