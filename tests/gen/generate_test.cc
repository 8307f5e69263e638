#include "base/text.h"
#include "gen/gen_fixture.h"

namespace {

class GenerateTest : public GenTest {
 protected:
  GenerateTest() {
    platform_->temp_dir = dir_.path() + kPathSeparator;
    platform_->guid_texts = {"{0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718}"};
    gen_.InitOutputDirectory();
    prefix_ = gen_.OutputDirectoryPath() + kPathSeparator;
  }
  GenResult Generate(const std::string& command_file) {
    return gen_.Generate(command_file, start_page_);
  }
  bool OutputDirectoryExists() { return SystemPlatform().FindPath(dir_.Path("Pagetrix")) == PathKind::kDirectory; }
  std::string Output(const std::string& name) {
    return dir_.Read("Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718/" + name);
  }

  std::string prefix_;
  std::string start_page_;
};

TEST_F(GenerateTest, SinglePageRunLogsEveryStep) {
  EnableLog();
  dir_.Write("cmd.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A\r\n");
  dir_.Write("t.htm", "<p>links</p>\r\n");
  dir_.Write("bild.gif", "gif");
  ASSERT_EQ(GenResult::kOk, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ(prefix_ + "Pagetrix.htm", start_page_);
  EXPECT_NE(std::string::npos, Output("Pagetrix.htm").find("<a >A</a>"));
  EXPECT_EQ("gif", Output("bild.gif"));
  EXPECT_EQ("", Output("t.htm"));
  EXPECT_EQ("", Output("cmd.ini"));
  const std::string cmd = dir_.Path("cmd.ini");
  std::string log = LogText();
  size_t tail = log.find("\r\nAlle notwendigen");
  ASSERT_NE(std::string::npos, tail);
  EXPECT_EQ("Lese Kommandodatei: '" + cmd + "'\r\nAusgabeverzeichnis: '" + prefix_ +
                "'\r\n\r\nVorlagen INI-Datei: '" + cmd + "'\r\nVorlagen HTML-Datei: '" +
                dir_.Path("t.htm") + "'\r\nAusgabedatei-Datei: '" + prefix_ + "Pagetrix.htm'\r\n" +
                "Verarbeite diesen Link: 'A'",
            log.substr(0, tail));
  EXPECT_EQ("\r\nAlle notwendigen Dateien aus den Vorlageverzeichnissen in das Ausgabeverzeichnis "
            "kopieren, jedoch keine Dateien aus der Negativliste \r\n",
            log.substr(tail, log.find("Kopiere Datei") - tail));
  const std::string end = "\r\nAlle Eintr\xE4ge der Sektion [KOPIEREN] kopieren.\r\n\r\n";
  ASSERT_GT(log.size(), end.size());
  EXPECT_EQ(end, log.substr(log.size() - end.size()));
}

TEST_F(GenerateTest, CommandFileErrorsStopBeforeAnyDirectory) {
  EXPECT_EQ(GenResult::kCommandFileError, Generate(dir_.Path("missing.ini")));
  dir_.Write("stray.ini", "[Seiten]\r\n# kein Gleichheitszeichen\r\n");
  EXPECT_EQ(GenResult::kCommandFileError, Generate(dir_.Path("stray.ini")));
  dir_.Write("bar.ini", "[Seiten]\r\n0=a.ini|a.htm\r\n1=b.ini\r\n");
  EXPECT_EQ(GenResult::kPageListError, Generate(dir_.Path("bar.ini")));
  dir_.Write("empty.ini", "[Seiten]\r\n0=a.ini|\r\n");
  EXPECT_EQ(GenResult::kPageListError, Generate(dir_.Path("empty.ini")));
  EXPECT_FALSE(OutputDirectoryExists());
  EXPECT_EQ("", start_page_);
}

TEST_F(GenerateTest, SeveralPagesWithFrameSetAndSkippedPage) {
  EnableLog();
  dir_.MakeDir("abs");
  dir_.Write("start.ini",
             "[Seiten]\r\n0=  nav.ini | nav.htm \r\n1=missing.ini|m.htm\r\n2=" +
                 dir_.Path("abs/inhalt.ini") + "|inhalt.htm\r\n"
                 "[FrameSet]\r\nFrameLinks=nav.htm\r\nFrameRechts=inhalt.htm\r\n");
  dir_.Write("nav.ini", "[Vorlage]\r\nVorlage=nav.tpl\r\n[Menu]\r\n0=N\r\n");
  dir_.Write("nav.tpl", "Menu");
  dir_.Write("abs/inhalt.ini", "[Vorlage]\r\nVorlage=inhalt.tpl\r\n");
  dir_.Write("abs/inhalt.tpl", "Inhalt");
  ASSERT_EQ(GenResult::kOk, Generate(dir_.Path("start.ini")));
  EXPECT_EQ(prefix_ + "Pagetrix.htm", start_page_);
  EXPECT_NE(std::string::npos, Output("Pagetrix.htm").find("<frame src=\"nav.htm\""));
  EXPECT_NE(std::string::npos, Output("nav.htm").find("<a >N</a>"));
  EXPECT_EQ("Inhalt", Output("inhalt.htm"));
  EXPECT_EQ("", Output("start.ini"));
  EXPECT_NE(std::string::npos,
            LogText().find("Fehler in der Kommandodatei: '" + dir_.Path("missing.ini") + "'"));
}

TEST_F(GenerateTest, NameWithoutFramesNamesAPageNeverMadeAndIsNotHandedOn) {
  EnableLog();
  dir_.Write("cmd.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[FrameSet]\r\nName=start.htm\r\n");
  dir_.Write("t.htm", "FrameSet");
  EXPECT_EQ(GenResult::kPageMissing, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ("", start_page_);
  EXPECT_NE(std::string::npos, Output("Pagetrix.htm").find("<b></b>"));
  EXPECT_EQ("", Output("start.htm"));
  // Its message is the run's last: the error window shows it.
  const std::string log = LogText();
  const std::string last = "Die Startseite wurde nicht erzeugt, es wird kein Programm gestartet: '" +
                           prefix_ + "start.htm'\r\n";
  ASSERT_GT(log.size(), last.size());
  EXPECT_EQ(last, log.substr(log.size() - last.size()));
}

// What the start program is to show must be there when the run ends: the
// start page and each page of the output folder that a frame shows. A page
// the copies bring counts; one that is missing is named, and nothing is
// handed on.
TEST_F(GenerateTest, StartOrFramePageNotMadeIsNamedAndNotHandedOn) {
  EnableLog();
  dir_.Write("t.tpl", "t");
  dir_.Write("nav.ini", "[Vorlage]\r\nVorlage=t.tpl\r\n");
  // The start page's own command file is missing.
  dir_.Write("start.ini", "[Seiten]\r\n1=fehlt.ini|Pagetrix.htm\r\n2=nav.ini|nav.htm\r\n");
  EXPECT_EQ(GenResult::kPageMissing, Generate(dir_.Path("start.ini")));
  EXPECT_EQ("", start_page_);
  std::string log = LogText();
  EXPECT_NE(std::string::npos,
            log.find("Fehler in der Kommandodatei: '" + dir_.Path("fehlt.ini") + "'"));
  EXPECT_NE(std::string::npos, log.find("Die Startseite wurde nicht erzeugt, es wird kein "
                                        "Programm gestartet: '" + prefix_ + "Pagetrix.htm'"));
  // A frame's page is missing; the other frame's page comes from the copies.
  dir_.MakeDir("vorlagen");
  dir_.Write("vorlagen/info.htm", "info");
  dir_.Write("vorlagen/t.tpl", "t");
  dir_.Write("nav.ini", "[Vorlage]\r\nVorlage=t.tpl\r\nVerzeichnis=" + dir_.Path("vorlagen") +
                            "\r\n");
  const std::string frames = "[FrameSet]\r\nFrameLinks=info.htm#oben\r\nFrameRechts=";
  dir_.Write("start.ini",
             "[Seiten]\r\n1=nav.ini|nav.htm\r\n2=fehlt.ini|inhalt.htm\r\n" + frames +
                 "inhalt.htm\r\n");
  EXPECT_EQ(GenResult::kPageMissing, Generate(dir_.Path("start.ini")));
  EXPECT_EQ("", start_page_);
  log = LogText();
  EXPECT_EQ(std::string::npos, log.find("Die Startseite wurde nicht erzeugt"));
  EXPECT_NE(std::string::npos, log.find("Ein Rahmen der Startseite zeigt eine Seite, die nicht "
                                        "erzeugt wurde: '" + prefix_ + "inhalt.htm'"));
  EXPECT_EQ(std::string::npos, log.find("erzeugt wurde: '" + prefix_ + "info.htm'"));
  // Frames that show pages elsewhere are none of the run's business.
  dir_.Write("start.ini", "[Seiten]\r\n1=nav.ini|nav.htm\r\n" + frames +
                              "http://intranet/inhalt.htm\r\n");
  EXPECT_EQ(GenResult::kOk, Generate(dir_.Path("start.ini")));
  EXPECT_EQ(prefix_ + "Pagetrix.htm", start_page_);
}

TEST_F(GenerateTest, PageFailuresStopTheRun) {
  EnableLog();
  dir_.Write("s.ini", "[Seiten]\r\n0=a.ini|a.htm\r\n1=b.ini|b.htm\r\n2=c.ini|c.htm\r\n");
  dir_.Write("a.ini", "[Vorlage]\r\nVorlage=a.tpl\r\n");
  dir_.Write("a.tpl", "a");
  dir_.Write("b.ini", "[Vorlage]\r\nVerzeichnis=" + dir_.path() + "\r\n");
  dir_.Write("c.ini", "[Vorlage]\r\nVorlage=c.tpl\r\n");
  dir_.Write("c.tpl", "c");
  EXPECT_EQ(GenResult::kNoTemplate, Generate(dir_.Path("s.ini")));
  EXPECT_EQ("a", Output("a.htm"));
  EXPECT_EQ("", Output("c.htm"));
  EXPECT_EQ("", start_page_);

  dir_.Write("b.ini", "[Vorlage]\r\nVorlage=" + dir_.Path("a.tpl") + "\r\n[X]\r\n");
  EXPECT_EQ(GenResult::kWriteFailed, Generate(dir_.Path("s.ini")));
  std::string log = LogText();
  EXPECT_NE(std::string::npos, log.find("Keine Vorlage in der Kommandodatei: '" +
                                        dir_.Path("b.ini") + "' angegeben."));
  EXPECT_NE(std::string::npos,
            log.find("Es kann keine HTML-Datei gebildet werden.\r\nVorlagedatei: '" +
                     dir_.path() + kPathSeparator + dir_.Path("a.tpl") + "'\r\nAusgabedatei: '" +
                     prefix_ + "b.htm'\r\n"));
}

TEST_F(GenerateTest, RelativeCommandFileKeepsPagesBesideIt) {
  dir_.Write("s.ini", "[Seiten]\r\n0=p.ini|Pagetrix.htm\r\n");
  dir_.Write("p.ini", "[Vorlage]\r\nVorlage=p.tpl\r\n");
  dir_.Write("p.tpl", "p");
  std::string current;
  ASSERT_TRUE(SystemPlatform().GetWorkingDir(&current));
  ASSERT_TRUE(SystemPlatform().SetWorkingDir(dir_.path()));
  GenResult result = Generate("s.ini");
  SystemPlatform().SetWorkingDir(current);
  EXPECT_EQ(GenResult::kOk, result);
  EXPECT_EQ("p", Output("Pagetrix.htm"));
}

TEST_F(GenerateTest, TemplateDirectoriesListedOnceAndEmptyOneNever) {
  dir_.MakeDir("tpl");
  dir_.Write("tpl/t.htm", "t");
  dir_.Write("tpl/bild.gif", "gif");
  dir_.Write("c.tpl", "c");
  dir_.Write("s.ini",
             "[Seiten]\r\n0=a.ini|a.htm\r\n1=b.ini|b.htm\r\n2=c.ini|Pagetrix.htm\r\n");
  dir_.Write("a.ini", "[Vorlage]\r\nVorlage=t.htm\r\nVerzeichnis=" + dir_.Path("tpl") + "\r\n");
  // Only the ASCII case differs; b.htm exists, so its template is not needed.
  dir_.Write("b.ini", "[Vorlage]\r\nVorlage=t.htm\r\nVerzeichnis=" + dir_.Path("TPL") + "\r\n");
  ASSERT_TRUE(dir_.MakeDir("Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718"));
  ASSERT_TRUE(dir_.Write("Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718/b.htm", "b"));
  dir_.Write("c.ini", "[Vorlage]\r\nVorlage=" + dir_.Path("c.tpl") + "\r\nVerzeichnis=\r\n");
  platform_->listed.clear();
  ASSERT_EQ(GenResult::kOk, Generate(dir_.Path("s.ini")));
  EXPECT_EQ("c", Output("Pagetrix.htm"));
  EXPECT_EQ("gif", Output("bild.gif"));
  size_t template_listings = 0;
  for (const std::string& listed : platform_->listed) {
    EXPECT_NE("", listed);
    if (EqualsNoCaseAscii(listed, dir_.Path("tpl") + kPathSeparator)) ++template_listings;
  }
  EXPECT_EQ(1u, template_listings);
}

// A template read for one page serves the next page only if it is the same file.
TEST_F(GenerateTest, PagesSharingATemplateNameGetTheirOwnTemplate) {
  dir_.MakeDir("eins");
  dir_.MakeDir("zwei");
  dir_.Write("eins/t.htm", "<p>L</p>\r\n");
  dir_.Write("zwei/t.htm", "<b>L</b>\r\n");
  dir_.Write("s.ini", "[Seiten]\r\n0=eins/a.ini|a.htm\r\n1=eins/b.ini|b.htm\r\n"
                      "2=zwei/c.ini|c.htm\r\n3=eins/d.ini|Pagetrix.htm\r\n");
  const std::string links = "[Vorlage]\r\nVorlage=t.htm\r\n[L]\r\nTreeMenu=1\r\n0=";
  dir_.Write("eins/a.ini", links + "A|a.htm\r\n");
  dir_.Write("eins/b.ini", links + "B|b.htm\r\n");
  dir_.Write("zwei/c.ini", links + "C|c.htm\r\n");
  dir_.Write("eins/d.ini", links + "D|d.htm\r\n");
  ASSERT_EQ(GenResult::kOk, Generate(dir_.Path("s.ini")));
  const char* const expected[][3] = {
      {"a.htm", "<p>", "'A'"}, {"b.htm", "<p>", "'B'"}, {"c.htm", "<b>", "'C'"}, {"Pagetrix.htm", "<p>", "'D'"}};
  for (const auto& page : expected) {
    const std::string text = Output(page[0]);
    EXPECT_EQ(0u, text.find(page[1])) << page[0];
    EXPECT_NE(std::string::npos, text.find(page[2])) << page[0];
  }
}

// ---- Failures that only the failing platform double can bring about ----

TEST_F(GenerateTest, CommandFileReadErrorStopsBeforeAnyDirectory) {
  EnableLog();
  dir_.Write("cmd.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A\r\n");
  platform_->Fail(FileOp::kRead, dir_.Path("cmd.ini"), 0, 10);
  EXPECT_EQ(GenResult::kCommandFileError, Generate(dir_.Path("cmd.ini")));
  EXPECT_FALSE(OutputDirectoryExists());
  EXPECT_EQ("", start_page_);
  EXPECT_NE(std::string::npos,
            LogText().find("Fehler in der Kommandodatei: '" + dir_.Path("cmd.ini") + "'"));
}

TEST_F(GenerateTest, PageWriteFailingHalfwayStopsTheRunWithoutStartPage) {
  EnableLog();
  dir_.Write("cmd.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A\r\n");
  // A first line longer than any block the page is written in goes out by
  // itself; the write of the rest fails.
  const std::string first_line(3 << 20, 'x');
  dir_.Write("t.htm", first_line + "\r\n<p>Links</p>\r\n</html>\r\n");
  dir_.Write("bild.gif", "gif");
  platform_->Fail(FileOp::kAppend, prefix_ + "Pagetrix.htm", 1);
  EXPECT_EQ(GenResult::kWriteFailed, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ("", start_page_);
  // The part written stays, but nothing names it as the page to show, and
  // nothing is copied beside it.
  EXPECT_TRUE(Output("Pagetrix.htm") == first_line);
  EXPECT_EQ("", Output("bild.gif"));
  std::string log = LogText();
  EXPECT_NE(std::string::npos,
            log.find("Es kann keine HTML-Datei gebildet werden.\r\nVorlagedatei: '" +
                     dir_.Path("t.htm") + "'\r\nAusgabedatei: '" + prefix_ + "Pagetrix.htm'\r\n"));
  EXPECT_EQ(std::string::npos, log.find("Alle notwendigen Dateien"));
}

TEST_F(GenerateTest, PageThatCannotBeClosedOrTemplateThatCannotBeReadGivesSeven) {
  dir_.Write("cmd.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A\r\n");
  dir_.Write("t.htm", "<p>Links</p>\r\n");
  platform_->Fail(FileOp::kClose, prefix_ + "Pagetrix.htm");
  EXPECT_EQ(GenResult::kWriteFailed, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ("", start_page_);

  platform_->fail_rules.clear();
  platform_->Fail(FileOp::kRead, dir_.Path("t.htm"), 0, 3);
  EXPECT_EQ(GenResult::kWriteFailed, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ("", start_page_);
}

TEST_F(GenerateTest, FrameSetThatCannotBeWrittenIsLogged) {
  EnableLog();
  dir_.Write("cmd.ini",
             "[Vorlage]\r\nVorlage=t.htm\r\n[FrameSet]\r\nFrameLinks=a.htm\r\n"
             "FrameRechts=b.htm\r\n");
  dir_.Write("t.htm", "t");
  platform_->Fail(FileOp::kAppend, prefix_ + "Pagetrix.htm");
  EXPECT_EQ(GenResult::kWriteFailed, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ("", start_page_);
  EXPECT_NE(std::string::npos,
            LogText().find("Fehler beim Schreiben der Datei: '" + prefix_ + "Pagetrix.htm'"));
}

TEST_F(GenerateTest, FailedTemplateCopyKeepsStartPageAndSkipsCopyList) {
  EnableLog();
  dir_.Write("cmd.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A\r\n");
  dir_.Write("t.htm", "Links");
  dir_.Write("bild.gif", "gif");
  dir_.Write("src.txt", "list");
  ASSERT_EQ(0, main_config_.LoadFromBytes("[Kopieren]\r\n0=" + dir_.Path("src.txt") + "|" +
                                          prefix_ + "list.txt\r\n"));
  platform_->Fail(FileOp::kCopy, prefix_ + "bild.gif");
  EXPECT_EQ(GenResult::kCopyFailed, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ(prefix_ + "Pagetrix.htm", start_page_);
  EXPECT_EQ("", Output("bild.gif"));
  EXPECT_EQ("", Output("list.txt"));
  std::string log = LogText();
  EXPECT_NE(std::string::npos, log.find("Fehler beim Kopieren.\r\nVon: '" +
                                        dir_.Path("bild.gif") + "'\r\nNach: '" + prefix_ +
                                        "bild.gif'"));
  EXPECT_NE(std::string::npos, log.find("Es konnten nicht alle Dateien"));
  EXPECT_EQ(std::string::npos, log.find("Sektion [KOPIEREN] kopieren"));
}

}  // namespace

namespace {

// Names that would reach beyond the output folder or into a device fail like
// a name with a subfolder, and the file they name is never opened.
TEST_F(GenerateTest, OutputNamesThatAreNoPlainFileNamesAreNeverOpened) {
  EnableLog();
  dir_.Write("t.htm", "<p>links</p>\r\n");
  dir_.Write("p.ini", "[Vorlage]\r\nVorlage=t.htm\r\n");
  dir_.Write("victim.htm", "ORIGINAL");
  const std::string sep(1, kPathSeparator);
  for (const std::string& name :
       {".." + sep + ".." + sep + "victim.htm", dir_.Path("victim.htm"), std::string("NUL"),
        std::string("com1.htm"), std::string("Pagetrix.lck"), std::string("seite.")}) {
    dir_.Write("start.ini", "[Seiten]\r\n0=p.ini|" + name + "\r\n");
    start_page_.clear();
    EXPECT_EQ(GenResult::kWriteFailed, Generate(dir_.Path("start.ini"))) << name;
    EXPECT_EQ("", start_page_);
    EXPECT_NE(std::string::npos,
              LogText().find("Ausgabedatei: '" + prefix_ + name + "'\r\n")) << name;
  }
  EXPECT_EQ("ORIGINAL", dir_.Read("victim.htm"));
}

TEST_F(GenerateTest, FrameSetNameOutsideTheFolderFailsWithoutFrames) {
  EnableLog();
  dir_.Write("victim.htm", "ORIGINAL");
  dir_.Write("t.htm", "x\r\n");
  const std::string name = std::string("..") + kPathSeparator + ".." + kPathSeparator +
                           "victim.htm";
  dir_.Write("start.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[FrameSet]\r\nName=" + name + "\r\n");
  EXPECT_EQ(GenResult::kWriteFailed, Generate(dir_.Path("start.ini")));
  EXPECT_EQ("", start_page_);
  EXPECT_NE(std::string::npos,
            LogText().find("Fehler beim Schreiben der Datei: '" + prefix_ + name + "'"));
  EXPECT_EQ("ORIGINAL", dir_.Read("victim.htm"));
  // An empty name names the folder itself, which is no page.
  dir_.Write("start.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[FrameSet]\r\nName=\r\n");
  EXPECT_EQ(GenResult::kPageMissing, Generate(dir_.Path("start.ini")));
  EXPECT_EQ("", start_page_);
}

TEST_F(GenerateTest, NoMemoryForThePageCommandFileSkipsThePage) {
  EnableLog();
  dir_.Write("t.htm", "x\r\n");
  dir_.Write("a.ini", "[Vorlage]\r\nVorlage=t.htm\r\n");
  dir_.Write("b.ini", "[Vorlage]\r\nVorlage=t.htm\r\n");
  dir_.Write("start.ini", "[Seiten]\r\n0=a.ini|a.htm\r\n1=b.ini|Pagetrix.htm\r\n");
  platform_->Fail(FileOp::kMemory, dir_.Path("a.ini"));
  ASSERT_EQ(GenResult::kOk, Generate(dir_.Path("start.ini")));
  EXPECT_NE(std::string::npos,
            LogText().find("Fehler in der Kommandodatei: '" + dir_.Path("a.ini") + "'"));
  EXPECT_EQ("x\r\n", Output("Pagetrix.htm"));
}

}  // namespace
