#include <string>
#include <utility>
#include <vector>

#include "gen/gen_fixture.h"

namespace {

std::string FrameSetPage(const std::string& title, const std::string& width,
                         const std::string& left, const std::string& right,
                         const std::string& left_title = "Navigation",
                         const std::string& right_title = "Inhalt") {
  return "<html lang=\"de\">\r\n<head>\r\n<meta http-equiv=\"Content-Type\" "
         "content=\"text/html; charset=windows-1252\">\r\n<title>" +
         title + "</title>\r\n</head>\r\n<frameset cols=\"" + width + ",*\">\r\n  <frame src=\"" +
         left + "\" name=\"Navigation\" title=\"" + left_title + "\">\r\n  <frame src=\"" + right +
         "\" name=\"Daten\" title=\"" + right_title +
         "\">\r\n  <noframes>\r\n    Ihr Browser kann diese Seite leider nicht "
         "anzeigen!\r\n  </noframes>\r\n</frameset>\r\n</html>\r\n";
}

class FrameSetTest : public GenTest {};

TEST_F(FrameSetTest, DefaultsAndVerbatimValues) {
  LoadCommands("[FrameSet]\r\nFrameLinks=%NAV%.htm\r\nFrameRechts=inhalt.htm\r\n");
  ASSERT_EQ(GenResult::kOk, gen_.WriteFrameSet(commands_, dir_.Path("fs.htm")));
  std::string page = dir_.Read("fs.htm");
  EXPECT_EQ(FrameSetPage("", "150", "%NAV%.htm", "inhalt.htm"), page);
  size_t lines = 0;
  for (size_t pos = page.find("\r\n"); pos != std::string::npos; pos = page.find("\r\n", pos + 2))
    ++lines;
  EXPECT_EQ(13u, lines);
}

TEST_F(FrameSetTest, TitleAndWidthAndTruncatesOldPage) {
  dir_.Write("fs.htm", std::string(2000, 'x'));
  LoadCommands(
      "[framesET]\r\nframelinks=nav.htm\r\nFrameRechts=main.htm\r\n"
      "BreiteLinks=25%\r\nTitel=Start\r\n");
  ASSERT_EQ(GenResult::kOk, gen_.WriteFrameSet(commands_, dir_.Path("fs.htm")));
  EXPECT_EQ(FrameSetPage("Start", "25%", "nav.htm", "main.htm"), dir_.Read("fs.htm"));
}

// The frames' titles name them for screen readers; a quote cannot end them.
TEST_F(FrameSetTest, FrameTitlesFromTheirKeys) {
  LoadCommands(
      "[FrameSet]\r\nFrameLinks=nav.htm\r\nFrameRechts=main.htm\r\n"
      "titellinks=Men\xFC\r\nTitelRechts=Seite \"Start\"\r\n");
  ASSERT_EQ(GenResult::kOk, gen_.WriteFrameSet(commands_, dir_.Path("fs.htm")));
  EXPECT_EQ(FrameSetPage("", "150", "nav.htm", "main.htm", "Men\xFC", "Seite &quot;Start&quot;"),
            dir_.Read("fs.htm"));
  LoadCommands("[FrameSet]\r\nFrameLinks=a\r\nFrameRechts=b\r\nTitelLinks=\r\n");
  ASSERT_EQ(GenResult::kOk, gen_.WriteFrameSet(commands_, dir_.Path("fs.htm")));
  EXPECT_EQ(FrameSetPage("", "150", "a", "b"), dir_.Read("fs.htm"));
}

TEST_F(FrameSetTest, MissingFrameMeansNoPage) {
  LoadCommands("[FrameSet]\r\nFrameLinks=nav.htm\r\nFrameRechts=\r\n[Other]\r\n");
  EXPECT_EQ(GenResult::kNoFrameSet, gen_.WriteFrameSet(commands_, dir_.Path("fs.htm")));
  LoadCommands("[Vorlage]\r\nVorlage=t.htm\r\n");
  EXPECT_EQ(GenResult::kNoFrameSet, gen_.WriteFrameSet(commands_, dir_.Path("fs.htm")));
  EXPECT_EQ(PathKind::kMissing, SystemPlatform().FindPath(dir_.Path("fs.htm")));
}

TEST_F(FrameSetTest, UnwritablePathGivesSeven) {
  LoadCommands("[FrameSet]\r\nFrameLinks=a\r\nFrameRechts=b\r\n");
  EXPECT_EQ(GenResult::kWriteFailed, gen_.WriteFrameSet(commands_, dir_.Path("missing/fs.htm")));
  EXPECT_EQ(GenResult::kWriteFailed, gen_.WriteFrameSet(commands_, dir_.path() + kPathSeparator));
}

// Which frame addresses name a file of the output folder, as a browser
// reads them; every other address is none of the run's business.
TEST_F(FrameSetTest, FramePagesAreTheAddressesThatNameAFileOfTheFolder) {
  const std::pair<const char*, const char*> cases[] = {{"nav.htm", "nav.htm"},
                                                       {"nav.htm#oben", "nav.htm"},
                                                       {"inhalt.htm?seite=2#x", "inhalt.htm"},
                                                       {"Seite%201.htm", "Seite 1.htm"},
                                                       {"%C4nderungen.htm", "\xC4nderungen.htm"},
                                                       {"100%.htm", "100%.htm"},
                                                       {"a%2.htm", "a%2.htm"},
                                                       {"%2e%2e%2fx.htm", ""},
                                                       {"http://intranet/start.htm", ""},
                                                       {"about:blank", ""},
                                                       {"../oben.htm", ""},
                                                       {"sub/seite.htm", ""},
                                                       {"sub\\seite.htm", ""},
                                                       {"C:\\Portal\\seite.htm", ""},
                                                       {"//server/seite.htm", ""},
                                                       {"#nur-anker", ""},
                                                       {"nul.htm", ""},
                                                       {"seite.", ""}};
  for (const auto& [address, name] : cases) {
    LoadCommands(std::string("[FrameSet]\r\nFrameLinks=") + address + "\r\nFrameRechts=" + address +
                 "\r\n");
    const std::vector<std::string> expected =
        *name == '\0' ? std::vector<std::string>{} : std::vector<std::string>{name, name};
    EXPECT_EQ(expected, FramePageNames(commands_)) << address;
  }
  // Without both frames there is no frameset, and no frame page.
  LoadCommands("[FrameSet]\r\nFrameLinks=nav.htm\r\n");
  EXPECT_TRUE(FramePageNames(commands_).empty());
}

}  // namespace
