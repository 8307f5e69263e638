#include "gen/markup.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Script(std::string_view text) {
  std::string out;
  AppendScriptString(out, text);
  return out;
}

std::string Cell(std::string_view text) {
  std::string out;
  AppendCellHtml(out, text);
  return out;
}

// Escape sequences the script reads today keep their meaning: command files
// rely on them.
TEST(ScriptStringTest, ValidEscapesStayAsWritten) {
  for (std::string_view kept :
       {"Tab\\there", "c:\\\\Pfad", "Tom\\'s", "\\x41\\u00e4\\u{1F600}\\u{0010FFFF}",
        "\\0\\8\\9\\q", "\\\\server\\freigabe", "zwei\\\r\nZeilen", "eine\\\rZeile", "<\\/script>",
        "\\\xFC"}) {
    EXPECT_EQ(kept, Script(kept));
  }
}

// What would end the string early or leave it open stands for itself.
TEST(ScriptStringTest, BrokenEscapesQuotesAndLineBreaksAreWrittenAsCharacters) {
  EXPECT_EQ("\\\\fileserver\\\\", Script("\\\\fileserver\\"));
  EXPECT_EQ("a\\\\\\\\", Script("a\\\\\\"));  // "\\" and a lone "\" at the end
  EXPECT_EQ("\\\\x4", Script("\\x4"));
  EXPECT_EQ("\\\\xZZ", Script("\\xZZ"));
  EXPECT_EQ("\\\\u12", Script("\\u12"));
  EXPECT_EQ("\\\\u{}\\\\u{110000}\\\\u{12", Script("\\u{}\\u{110000}\\u{12"));
  EXPECT_EQ("Tom\\'s \\\\\\'", Script("Tom's \\\\'"));
  EXPECT_EQ("a\\r\\nb\\rc", Script("a\r\nb\rc"));
  EXPECT_EQ("\\\\\\r", Script("\\\\\r"));
}

TEST(ScriptStringTest, NoValueCanEndTheScriptElement) {
  EXPECT_EQ("<\\/script>", Script("</script>"));
  EXPECT_EQ("\\<\\/SCRIPT", Script("\\</SCRIPT"));
  EXPECT_EQ("<<\\/", Script("<</"));
}

TEST(AttributeValueTest, OnlyTheQuoteIsWrittenAsAReference) {
  std::string out;
  AppendAttributeValue(out, "Sagt \"Hallo\" & 'tsch\xFC\xDF' <b>");
  EXPECT_EQ("Sagt &quot;Hallo&quot; & 'tsch\xFC\xDF' <b>", out);
}

TEST(CellHtmlTest, MarkupThatEndsWithinTheTextStays) {
  for (std::string_view kept :
       {"Caf&eacute; <b>neu</b>", "a < b, 3<4", "<!-- Notiz -->x", "<!---->", "<!-->",
        "<!DOCTYPE x>", "</>", "<?xml x?>", "</ bogus>", "<textarea>a<b></textarea >",
        "<title>t</TITLE>", "<script>if (a</b) x();</script>",
        "<script><!--<script></script>--></script>", "<form>x</form>", "<template>t</template>",
        "<a href='x\"y'>z</a>", "<img src=x alt=>", "<br/>", "<noscript>n</noscript>"}) {
    EXPECT_EQ(kept, Cell(kept));
  }
}

// What the text leaves open is closed as if the page ended there.
TEST(CellHtmlTest, WhatTheTextLeavesOpenIsClosed) {
  EXPECT_EQ("<!-- offen-->", Cell("<!-- offen"));
  EXPECT_EQ("<!--x--!-->", Cell("<!--x--!"));
  EXPECT_EQ("<!-x>", Cell("<!-x"));
  EXPECT_EQ("<!DOCTYPE>", Cell("<!DOCTYPE"));
  EXPECT_EQ("<?php echo>", Cell("<?php echo"));
  EXPECT_EQ("</ x>", Cell("</ x"));
  EXPECT_EQ("<textarea>Rest</textarea>", Cell("<textarea>Rest"));
  EXPECT_EQ("<Style>a</stylex</style>", Cell("<Style>a</stylex"));
  EXPECT_EQ("<xmp>a</xmp x=\">\">", Cell("<xmp>a</xmp x=\">"));
  EXPECT_EQ("<script>a<!--<script>b</script>--></script>", Cell("<script>a<!--<script>b</script>"));
  EXPECT_EQ("<script>x--></script>", Cell("<script>x"));
  EXPECT_EQ("<form><form>x</form></form>", Cell("<form><form>x"));
  EXPECT_EQ("<template><p>t</template>", Cell("<template><p>t"));
  EXPECT_EQ("</form><form></form>", Cell("</form><form>"));
}

TEST(CellHtmlTest, TableTagsForeignContentAndUnfinishedTagsShowAsText) {
  EXPECT_EQ("&lt;/td>&lt;TR>&lt;table border=1>", Cell("</td><TR><table border=1>"));
  EXPECT_EQ("&lt;svg>&lt;![CDATA[x]]>&lt;math>", Cell("<svg><![CDATA[x]]><math>"));
  EXPECT_EQ("&lt;plaintext>&lt;select>", Cell("<plaintext><select>"));
  EXPECT_EQ("a &lt;b title=\"x", Cell("a <b title=\"x"));
  EXPECT_EQ("&lt;b <!--c-->", Cell("<b <!--c"));  // read on as text from the "<"
  EXPECT_EQ("x &lt;/", Cell("x </"));
  EXPECT_EQ("x <", Cell("x <"));
  // Inside a comment or raw text a table tag is no tag.
  EXPECT_EQ("<!--</td>--><textarea></td></textarea>",
            Cell("<!--</td>--><textarea></td></textarea>"));
}

}  // namespace
