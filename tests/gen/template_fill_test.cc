#include "gen/gen_fixture.h"

namespace {

class TemplateFillTest : public GenTest {
 protected:
  // Fills the template `html` for the command file `ini`; the page's bytes.
  std::string Fill(const std::string& ini, const std::string& html) {
    LoadCommands(ini);
    dir_.Write("t.htm", html);
    EXPECT_EQ(GenResult::kOk,
              gen_.FillTemplate(commands_, dir_.Path("t.htm"), dir_.Path("out.htm")));
    return dir_.Read("out.htm");
  }
  // A section whose link table is only the row of one link, to spot it.
  static std::string Row(const std::string& text) {
    return "   <tr>\r\n     <td width=\"50%\" title=\"\"><a >" + text +
           "</a></td>\r\n        </tr>\r\n";
  }
};

TEST_F(TemplateFillTest, TemplateWithoutPlaceholdersIsCopied) {
  const std::string html = "<html>\n<body>\r\nLinks</body>";
  EXPECT_EQ(html, Fill("[Vorlage]\r\nVorlage=t.htm\r\n", html));
  dir_.Write("out.htm", "old");
  EXPECT_EQ(GenResult::kOk, gen_.FillTemplate(commands_, dir_.Path("t.htm"), dir_.Path("out.htm")));
  EXPECT_EQ("old", dir_.Read("out.htm"));
}

TEST_F(TemplateFillTest, LineEndsBecomeCrLfAndEofByteEndsTemplate) {
  EXPECT_EQ("a\r\nb\r\n\r\nc\rd\r\nlast\r\n",
            Fill("[Vorlage]\r\n[X]\r\n", "a\nb\r\n\nc\rd\r\nlast\x1Ahidden\n"));
  EXPECT_EQ("", Fill("[Vorlage]\r\n[X]\r\n", ""));
}

TEST_F(TemplateFillTest, SoundTagFollowsHeadLineAndStopsPlaceholders) {
  EXPECT_EQ(
      "<html><HeAd>Links\r\n<bgsound src=\"intro.mid\" loop=\"infinite\">\r\n<head>\r\n",
      Fill("[Vorlage]\r\nSound=intro.mid\r\n[Links]\r\n0=A\r\n", "<html><HeAd>Links\n<head>\n"));
  EXPECT_EQ("<head x>\r\n<HEAD>\r\n<bgsound src=\"s.wav\" loop=\"1\">\r\n",
            Fill("[Vorlage]\r\nSound= s.wav | 1 \r\n", "<head x>\n<HEAD>\n"));
  EXPECT_EQ("<head>\r\n<bgsound src=\"s.wav\" loop=\"\">\r\n",
            Fill("[Vorlage]\r\nSound=s.wav|\r\n", "<head>"));
  EXPECT_EQ("<head>\r\n<bgsound src=\"\" loop=\"infinite\">\r\n",
            Fill("[Vorlage]\r\nSound=\r\n", "<head>"));
  EXPECT_EQ("<body>\r\n", Fill("[Vorlage]\r\nSound=s.wav\r\n", "<body>"));
}

TEST_F(TemplateFillTest, FirstOccurrencePerNameInChangedLine) {
  const std::string ini = "[Vorlage]\r\n[Menu]\r\n0=M\r\n[Menu2]\r\n0=N\r\n";
  // MENU matches the start of Menu2; the 2 stays behind the inserted table.
  std::string out = Fill(ini, "<td>Menu2</td>menu\n");
  EXPECT_NE(std::string::npos, out.find(Row("M") + "</table>\r\n2</td>menu\r\n"));
  EXPECT_EQ(std::string::npos, out.find(">N<"));
  out = Fill(ini, "Menu2 x Menu2\n");
  EXPECT_NE(std::string::npos, out.find(Row("M") + "</table>\r\n2 x "));
  EXPECT_NE(std::string::npos, out.find(Row("N") + "</table>\r\n\r\n"));
}

TEST_F(TemplateFillTest, TreeMenuSelectedOnlyByOne) {
  const std::string tree = "tree.put(0,'A'";
  for (const char* value : {"1", "01", " 1x"})
    EXPECT_NE(
        std::string::npos,
        Fill(std::string("[Vorlage]\r\n[L]\r\nTreeMenu=") + value + "\r\n0=A\r\n", "L").find(tree))
        << value;
  for (const char* value : {"2", "ja", ""})
    EXPECT_NE(std::string::npos,
              Fill(std::string("[Vorlage]\r\n[L]\r\nTreeMenu=") + value + "\r\n0=A\r\n", "L")
                  .find(Row("A")))
        << value;
}

TEST_F(TemplateFillTest, SectionNameWithUmlautIsFilledFromItsSection) {
  std::string out = Fill("[Vorlage]\r\n[Men\xFC]\r\nTreeMenu=1\r\n0=A\r\n", "<p>MEN\xDC</p>\n");
  EXPECT_NE(std::string::npos, out.find("<p>\r\n<!--     Beginn TreeMenu"));
  EXPECT_NE(std::string::npos, out.find("tree.put(0,'A'"));
}

TEST_F(TemplateFillTest, EmptySectionNameIsNoPlaceholder) {
  EXPECT_EQ("a\r\n: links\r\n", Fill("[Vorlage]\r\n[]\r\n0=X\r\n[Links]\r\n", "a\nLinks: links\n"));
}

TEST_F(TemplateFillTest, MissingTemplateOrUnwritablePageGivesSeven) {
  LoadCommands("[Vorlage]\r\n[L]\r\n");
  EXPECT_EQ(GenResult::kWriteFailed,
            gen_.FillTemplate(commands_, dir_.Path("none.htm"), dir_.Path("out.htm")));
  EXPECT_EQ(PathKind::kMissing, SystemPlatform().FindPath(dir_.Path("out.htm")));
  dir_.Write("t.htm", "x");
  EXPECT_EQ(GenResult::kWriteFailed,
            gen_.FillTemplate(commands_, dir_.Path("t.htm"), dir_.Path("sub/out.htm")));
  LoadCommands("[Vorlage]\r\n");
  EXPECT_EQ(GenResult::kCopyFailed,
            gen_.FillTemplate(commands_, dir_.Path("none.htm"), dir_.Path("out.htm")));
}

}  // namespace
