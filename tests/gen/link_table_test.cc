#include "base/text.h"
#include "gen/gen_fixture.h"

namespace {

const char kHeadingStart[] =
    "<table border=\"0\" width=\"100%\">\r\n   <tr>\r\n     <td width=\"100%\"><b>";
const char kHeadingEnd[] = "</b></td>\r\n   </tr>\r\n</table>\r\n";

class LinkTableTest : public GenTest {
 protected:
  // The line after replacing the first occurrence of `section` in it.
  std::string Replace(std::string line, const std::string& section = "Links") {
    size_t pos = ToUpperAnsi(line).find(ToUpperAnsi(section));
    EXPECT_NE(std::string::npos, pos);
    EXPECT_EQ(GenResult::kOk, gen_.WriteLinkTable(commands_, line, section, pos));
    return line;
  }
  static std::string TableHead(int border) {
    return "<table border=\"" + std::to_string(border) + "\" width=\"100%\" cellspacing=\"0\">\r\n";
  }
};

TEST_F(LinkTableTest, HeadingFontsBorderAndNewWindow) {
  LoadCommands(
      "[Links]\r\nUeberschrift=Meine Links\r\nFontTabelle=Arial|2\r\n"
      "0=Home|index.htm|Start|Tip||1\r\n");
  EXPECT_EQ(std::string("<td>") + kHeadingStart + "Meine Links" + kHeadingEnd + TableHead(1) +
                "   <tr>\r\n     <td width=\"50%\" title=\"Tip\"><font face=\"Arial\" size=\"2\">"
                "<a href=\"index.htm\" target=\"_blank\">Home</a></td>\r\n"
                "          <td width=\"50%\"><font face=\"Arial\" size=\"2\">Start</td>\r\n"
                "   </tr>\r\n</table>\r\n</td>",
            Replace("<td>links</td>"));
}

TEST_F(LinkTableTest, EmptyLinkIndentNoDescriptionAndColumnWidth) {
  LoadCommands(
      "[Links]\r\nBorder=\r\nSpaltenBreite1=30%\r\nFontUeberschrift=Verdana\r\n"
      "0=##Sub||||0|1\r\n");
  EXPECT_EQ(std::string(kHeadingStart) + "<font face=\"Verdana\" size=\"4\">" + kHeadingEnd +
                TableHead(0) +
                "   <tr>\r\n     <td width=\"30%\" title=\"\">&nbsp;&nbsp;<a >Sub</a></td>\r\n"
                "        </tr>\r\n</table>\r\nX",
            Replace("LinksX"));
}

TEST_F(LinkTableTest, FontSizesAndBorderValues) {
  LoadCommands(
      "[Links]\r\nFontTabelle=Arial\r\nFontUeberschrift=Times|\r\nBorder=abc\r\n0=A|a.htm\r\n");
  std::string out = Replace("Links");
  EXPECT_NE(std::string::npos, out.find("<b><font face=\"Times\" size=\"0\"></b>"));
  EXPECT_NE(std::string::npos, out.find("<font face=\"Arial\" size=\"3\"><a href=\"a.htm\">A</a>"));
  EXPECT_NE(std::string::npos, out.find(TableHead(0)));
}

// A value is formatted up to a NUL byte in it, field by field, and one
// entry's NUL must not cut the fields of the next.
TEST_F(LinkTableTest, FieldsEndAtANulByte) {
  using namespace std::string_literals;
  LoadCommands(
      "[Links]\r\nSpaltenBreite1=4\0\x30%\r\n0=Te\0xt|li\0nk|Be\0sch|Ti\0pp||1|S\0y\r\n"
      "1=Zwei|z.htm|Mehr|Tipp\r\n"s);
  std::string out = Replace("Links");
  EXPECT_NE(std::string::npos,
            out.find("<td width=\"4\" title=\"Ti\"><a href=\"li\" target=\"_blank\">"
                     "<img src=\"S\" alt=\"\" class=\"symbol\">Te</a></td>\r\n"
                     "          <td width=\"50%\">Be</td>"))
      << out;
  EXPECT_NE(std::string::npos,
            out.find("<td width=\"4\" title=\"Tipp\"><a href=\"z.htm\">Zwei</a></td>\r\n"
                     "          <td width=\"50%\">Mehr</td>"))
      << out;
}

// Whatever a value holds, it ends within its attribute or cell, so that each
// row stays a row.
TEST_F(LinkTableTest, ValuesStayInTheirAttributeOrCell) {
  LoadCommands(
      "[Links]\r\nUeberschrift=<!-- Kopf\r\nSpaltenBreite1=50%\" x=\"\r\n"
      "FontTabelle=Ari\"al|2\r\n"
      "0=<textarea>Text|a.htm?q=\"x\"|</td></tr><tr><td>Mehr|Tipp \"1\"|||sym\"bol.png\r\n");
  EXPECT_EQ(std::string(kHeadingStart) + "<!-- Kopf-->" + kHeadingEnd + TableHead(1) +
                "   <tr>\r\n     <td width=\"50%&quot; x=&quot;\" title=\"Tipp &quot;1&quot;\">"
                "<font face=\"Ari&quot;al\" size=\"2\"><a href=\"a.htm?q=&quot;x&quot;\">"
                "<img src=\"sym&quot;bol.png\" alt=\"\" class=\"symbol\"><textarea>Text</textarea>"
                "</a></td>\r\n          <td width=\"50%\"><font face=\"Ari&quot;al\" size=\"2\">"
                "&lt;/td>&lt;/tr>&lt;tr>&lt;td>Mehr</td>\r\n   </tr>\r\n</table>\r\n",
            Replace("Links"));
}

TEST_F(LinkTableTest, NothingInsertedWithoutShownRows) {
  filter_.rights_flags = 0;
  LoadCommands(
      "[Links]\r\nUeberschrift=Nur Rechte\r\nBorder=2\r\n0=A|a.htm|||1\r\n"
      "[Leer]\r\nUeberschrift=H\r\nTreeMenu=0\r\n[Nix]\r\n");
  EXPECT_EQ("<p></p>", Replace("<p>Links</p>"));
  EXPECT_EQ("<p></p>", Replace("<p>Leer</p>", "Leer"));
  EXPECT_EQ("ab", Replace("aNIXb", "Nix"));
}

TEST_F(LinkTableTest, EntryOrderSettingKeysAndCommentCut) {
  LoadCommands(
      "[Links]\r\n3=Drei|3.htm\r\nborder=5\r\nText=Wort|w.htm\r\n"
      "1=Eins|1.htm|Desc ; Kommentar|Tip\r\n");
  std::string out = Replace("Links");
  EXPECT_NE(std::string::npos, out.find(TableHead(5)));
  size_t three = out.find(">Drei<");
  size_t word = out.find(">Wort<");
  size_t one = out.find(">Eins<");
  ASSERT_NE(std::string::npos, one);
  EXPECT_LT(three, word);
  EXPECT_LT(word, one);
  // The comment took the tooltip with it; the description stays.
  EXPECT_NE(std::string::npos, out.find("title=\"\"><a href=\"1.htm\">Eins</a></td>\r\n"
                                        "          <td width=\"50%\">Desc</td>"));
}

}  // namespace
