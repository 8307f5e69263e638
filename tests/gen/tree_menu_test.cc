#include "base/text.h"
#include "gen/gen_fixture.h"
#include "platform/env_block.h"

namespace {

const char kOpening[] =
    "\r\n<!--     Beginn TreeMenu     -->\r\n"
    "<link rel=\"stylesheet\" href=\"treemenu.css\" type=\"text/css\">\r\n"
    "<script type=\"text/javascript\" src=\"treemenu.js\"></script>\r\n"
    "<script type=\"text/javascript\">\r\n<!--\r\n"
    "tree = new treemenu('tree', false, false, false, false);\r\n";
const char kClosing[] =
    "document.write(tree);\r\n-->\r\n</script>\r\n<noscript>\r\n"
    "<h1>Der Browser unterst\xFCtzt kein Javascript.</h1>\r\n</noscript>\r\n"
    "<!--     Ende TreeMenu     -->\r\n";

class TreeMenuTest : public GenTest {
 protected:
  std::string Replace(std::string line, const std::string& section = "Menu") {
    size_t pos = ToUpperAnsi(line).find(ToUpperAnsi(section));
    EXPECT_NE(std::string::npos, pos);
    EXPECT_EQ(GenResult::kOk, gen_.WriteTreeMenu(commands_, line, section, pos));
    return line;
  }
};

TEST_F(TreeMenuTest, CallsInEntryOrderWithIndentTargetAndTreeFlag) {
  LoadCommands(
      "[Menu]\r\nTreeMenu=1\r\n0=Home|index.htm||Start\r\n1=##Sub|sub.htm|Beschr|T2||5\r\n");
  EXPECT_EQ(std::string("<td>") + kOpening +
                "tree.put(0,'Home', 'Daten','index.htm','Start', '',  ''  );\r\n"
                "tree.add(1,'  Sub', '_blank','sub.htm','T2', '',  ''  );\r\n" +
                kClosing + "</td>",
            Replace("<td>menu</td>"));
}

TEST_F(TreeMenuTest, FirstShownEntryIsPutAndEmptyLinkStaysInDaten) {
  filter_.rights_flags = 0x00000002;
  LoadCommands(
      "[Menu]\r\nUeberschrift=H\r\nFontTabelle=Arial|2\r\n0=Versteckt|v.htm|||1\r\n"
      "1=Kopf||||2|1\r\n");
  EXPECT_EQ(std::string(kOpening) + "tree.put(0,'Kopf', 'Daten','','', '',  ''  );\r\n" + kClosing,
            Replace("Menu"));
}

// Quotes and "</" must not end the script string or block; backslashes and an
// already escaped quote stay as written.
TEST_F(TreeMenuTest, QuotesAndClosingTagsCannotEndTheScript) {
  LoadCommands(
      "[Menu]\r\n"
      "0=Mitarbeiter's Handbuch|h.htm?a='1'||Tom's Tipp\r\n"
      "1=Nicht </script> hier|a</b.htm||<</ x\r\n"
      "2=Schon \\'richtig\\'|c:\\Pfad\\neu\\\\doppelt||''\r\n"
      "3='|</|/|<\r\n");
  EXPECT_EQ(
      std::string(kOpening) +
          "tree.put(0,'Mitarbeiter\\'s Handbuch', 'Daten','h.htm?a=\\'1\\'','Tom\\'s Tipp', "
          "'',  ''  );\r\n"
          "tree.add(0,'Nicht <\\/script> hier', 'Daten','a<\\/b.htm','<<\\/ x', '',  ''  );\r\n"
          "tree.add(0,'Schon \\'richtig\\'', 'Daten','c:\\Pfad\\neu\\\\doppelt','\\'\\'', "
          "'',  ''  );\r\n"
          "tree.add(0,'\\'', 'Daten','<\\/','<', '',  ''  );\r\n" +
          kClosing,
      Replace("Menu"));
}

// Like "%s", each text ends at a NUL byte; the escapes still apply before it.
TEST_F(TreeMenuTest, TextsEndAtANulByte) {
  using namespace std::string_literals;
  LoadCommands("[Menu]\r\nTreeMenu=1\r\n0=#It's\0gone|a.htm\0b||Tip</\0x\r\n1=Next|n.htm\r\n"s);
  EXPECT_EQ(std::string(kOpening) +
                "tree.put(0,' It\\'s', 'Daten','a.htm','Tip<\\/', '',  ''  );\r\n"
                "tree.add(0,'Next', 'Daten','n.htm','', '',  ''  );\r\n" +
                kClosing,
            Replace("Menu"));
}

// The symbol goes into the first spare argument; without one the call
// stays as it was.
TEST_F(TreeMenuTest, SymbolInTheFirstSpareArgument) {
  LoadCommands(
      "[Menu]\r\nTreeMenu=1\r\n0=Formulare|f.htm||Tipp|||formular.png\r\n"
      "1=Ohne|o.htm||||1|\r\n2=Quote|q.htm|||||it's\\\r\n");
  EXPECT_EQ(std::string(kOpening) +
                "tree.put(0,'Formulare', 'Daten','f.htm','Tipp', 'formular.png',  ''  );\r\n"
                "tree.add(0,'Ohne', '_blank','o.htm','', '',  ''  );\r\n"
                "tree.add(0,'Quote', 'Daten','q.htm','', 'it\\'s\\\\',  ''  );\r\n" +
                kClosing,
            Replace("Menu"));
}

// A UNC folder with its closing backslash: the string ends where the field
// does, and the other escapes keep their meaning.
TEST_F(TreeMenuTest, ValuesEndWhereTheirFieldsEnd) {
  SetEnvVars(platform_, {{"PAGETRIX_TEST_LINES", "eins\r\nzwei"}});
  LoadCommands(
      "[Menu]\r\n0=Formulare|\\\\fileserver\\formulare\\||Ordner \\x1\r\n"
      "1=%PAGETRIX_TEST_LINES%|a.htm||\\u{110000}\r\n");
  EXPECT_EQ(std::string(kOpening) +
                "tree.put(0,'Formulare', 'Daten','\\\\fileserver\\formulare\\\\',"
                "'Ordner \\\\x1', '',  ''  );\r\n"
                "tree.add(0,'eins\\r\\nzwei', 'Daten','a.htm','\\\\u{110000}', '',  ''  );\r\n" +
                kClosing,
            Replace("Menu"));
}

TEST_F(TreeMenuTest, NoShownEntryRemovesPlaceholderOnly) {
  filter_.server_flags = 0x00010000;
  LoadCommands("[Menu]\r\nTreeMenu=1\r\n0=Weg|w.htm|||0|10000\r\n");
  EXPECT_EQ("ab", Replace("aMenub"));
}

}  // namespace
