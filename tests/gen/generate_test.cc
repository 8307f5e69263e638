#include <algorithm>
#include <filesystem>

#include "base/text.h"
#include "gen/gen_fixture.h"
#include "gen/gen_observer.h"
#include "gen/output_folder.h"

namespace {

class GenerateTest : public GenTest {
 protected:
  GenerateTest() {
    platform_.temp_dir = dir_.path() + kPathSeparator;
    platform_.guid_texts = {"{0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718}"};
    gen_.InitOutputDirectory();
    prefix_ = gen_.OutputDirectoryPath() + kPathSeparator;
  }
  GenResult Generate(const std::string& command_file) {
    return gen_.Generate(command_file, start_page_);
  }
  bool OutputDirectoryExists() {
    return SystemPlatform().FindPath(dir_.Path("Pagetrix")) == PathKind::kFolder;
  }
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
  EXPECT_EQ(
      "\r\nAlle notwendigen Dateien aus den Vorlageverzeichnissen in das Ausgabeverzeichnis "
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
  dir_.Write("start.ini", "[Seiten]\r\n0=  nav.ini | nav.htm \r\n1=missing.ini|m.htm\r\n2=" +
                              dir_.Path("abs/inhalt.ini") +
                              "|inhalt.htm\r\n"
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
  const std::string last =
      "Die Startseite wurde nicht erzeugt, es wird kein Programm gestartet: '" + prefix_ +
      "start.htm'\r\n";
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
                                        "Programm gestartet: '" +
                                        prefix_ + "Pagetrix.htm'"));
  // A frame's page is missing; the other frame's page comes from the copies.
  dir_.MakeDir("vorlagen");
  dir_.Write("vorlagen/info.htm", "info");
  dir_.Write("vorlagen/t.tpl", "t");
  dir_.Write("nav.ini",
             "[Vorlage]\r\nVorlage=t.tpl\r\nVerzeichnis=" + dir_.Path("vorlagen") + "\r\n");
  const std::string frames = "[FrameSet]\r\nFrameLinks=info.htm#oben\r\nFrameRechts=";
  dir_.Write("start.ini", "[Seiten]\r\n1=nav.ini|nav.htm\r\n2=fehlt.ini|inhalt.htm\r\n" + frames +
                              "inhalt.htm\r\n");
  EXPECT_EQ(GenResult::kPageMissing, Generate(dir_.Path("start.ini")));
  EXPECT_EQ("", start_page_);
  log = LogText();
  EXPECT_EQ(std::string::npos, log.find("Die Startseite wurde nicht erzeugt"));
  EXPECT_NE(std::string::npos, log.find("Ein Rahmen der Startseite zeigt eine Seite, die nicht "
                                        "erzeugt wurde: '" +
                                        prefix_ + "inhalt.htm'"));
  EXPECT_EQ(std::string::npos, log.find("erzeugt wurde: '" + prefix_ + "info.htm'"));
  // Frames that show pages elsewhere are none of the run's business.
  dir_.Write("start.ini",
             "[Seiten]\r\n1=nav.ini|nav.htm\r\n" + frames + "http://intranet/inhalt.htm\r\n");
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
            log.find("Es kann keine HTML-Datei gebildet werden.\r\nVorlagedatei: '" + dir_.path() +
                     kPathSeparator + dir_.Path("a.tpl") + "'\r\nAusgabedatei: '" + prefix_ +
                     "b.htm'\r\n"));
}

TEST_F(GenerateTest, RelativeCommandFileKeepsPagesBesideIt) {
  dir_.Write("s.ini", "[Seiten]\r\n0=p.ini|Pagetrix.htm\r\n");
  dir_.Write("p.ini", "[Vorlage]\r\nVorlage=p.tpl\r\n");
  dir_.Write("p.tpl", "p");
  const std::filesystem::path current = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  GenResult result = Generate("s.ini");
  std::filesystem::current_path(current);
  EXPECT_EQ(GenResult::kOk, result);
  EXPECT_EQ("p", Output("Pagetrix.htm"));
}

TEST_F(GenerateTest, TemplateDirectoriesListedOnceAndEmptyOneNever) {
  dir_.MakeDir("tpl");
  dir_.Write("tpl/t.htm", "t");
  dir_.Write("tpl/bild.gif", "gif");
  dir_.Write("c.tpl", "c");
  dir_.Write("s.ini", "[Seiten]\r\n0=a.ini|a.htm\r\n1=b.ini|b.htm\r\n2=c.ini|Pagetrix.htm\r\n");
  dir_.Write("a.ini", "[Vorlage]\r\nVorlage=t.htm\r\nVerzeichnis=" + dir_.Path("tpl") + "\r\n");
  // Only the ASCII case differs; b.htm exists, so its template is not needed.
  dir_.Write("b.ini", "[Vorlage]\r\nVorlage=t.htm\r\nVerzeichnis=" + dir_.Path("TPL") + "\r\n");
  ASSERT_TRUE(dir_.MakeDir("Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718"));
  ASSERT_TRUE(dir_.Write("Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718/b.htm", "b"));
  dir_.Write("c.ini", "[Vorlage]\r\nVorlage=" + dir_.Path("c.tpl") + "\r\nVerzeichnis=\r\n");
  platform_.listed.clear();
  ASSERT_EQ(GenResult::kOk, Generate(dir_.Path("s.ini")));
  EXPECT_EQ("c", Output("Pagetrix.htm"));
  EXPECT_EQ("gif", Output("bild.gif"));
  size_t template_listings = 0;
  for (const std::string& listed : platform_.listed) {
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
  dir_.Write("s.ini",
             "[Seiten]\r\n0=eins/a.ini|a.htm\r\n1=eins/b.ini|b.htm\r\n"
             "2=zwei/c.ini|c.htm\r\n3=eins/d.ini|Pagetrix.htm\r\n");
  const std::string links = "[Vorlage]\r\nVorlage=t.htm\r\n[L]\r\nTreeMenu=1\r\n0=";
  dir_.Write("eins/a.ini", links + "A|a.htm\r\n");
  dir_.Write("eins/b.ini", links + "B|b.htm\r\n");
  dir_.Write("zwei/c.ini", links + "C|c.htm\r\n");
  dir_.Write("eins/d.ini", links + "D|d.htm\r\n");
  ASSERT_EQ(GenResult::kOk, Generate(dir_.Path("s.ini")));
  const char* const expected[][3] = {{"a.htm", "<p>", "'A'"},
                                     {"b.htm", "<p>", "'B'"},
                                     {"c.htm", "<b>", "'C'"},
                                     {"Pagetrix.htm", "<p>", "'D'"}};
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
  platform_.Fail(FileOp::kRead, dir_.Path("cmd.ini"), 0, 10);
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
  platform_.Fail(FileOp::kAppend, prefix_ + "Pagetrix.htm", 1);
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
  platform_.Fail(FileOp::kClose, prefix_ + "Pagetrix.htm");
  EXPECT_EQ(GenResult::kWriteFailed, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ("", start_page_);

  platform_.fail_rules.clear();
  platform_.Fail(FileOp::kRead, dir_.Path("t.htm"), 0, 3);
  EXPECT_EQ(GenResult::kWriteFailed, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ("", start_page_);
}

TEST_F(GenerateTest, FrameSetThatCannotBeWrittenIsLogged) {
  EnableLog();
  dir_.Write("cmd.ini",
             "[Vorlage]\r\nVorlage=t.htm\r\n[FrameSet]\r\nFrameLinks=a.htm\r\n"
             "FrameRechts=b.htm\r\n");
  dir_.Write("t.htm", "t");
  platform_.Fail(FileOp::kAppend, prefix_ + "Pagetrix.htm");
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
  platform_.Fail(FileOp::kCopy, prefix_ + "bild.gif");
  EXPECT_EQ(GenResult::kCopyFailed, Generate(dir_.Path("cmd.ini")));
  EXPECT_EQ(prefix_ + "Pagetrix.htm", start_page_);
  EXPECT_EQ("", Output("bild.gif"));
  EXPECT_EQ("", Output("list.txt"));
  std::string log = LogText();
  EXPECT_NE(std::string::npos, log.find("Fehler beim Kopieren.\r\nVon: '" + dir_.Path("bild.gif") +
                                        "'\r\nNach: '" + prefix_ + "bild.gif'"));
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
    // The page's template lines come before its failure, as for any page.
    EXPECT_NE(std::string::npos,
              LogText().find("Vorlagen HTML-Datei: '" + dir_.Path("t.htm") +
                             "'\r\nAusgabedatei-Datei: '" + prefix_ + name +
                             "'\r\nEs kann keine HTML-Datei gebildet werden.\r\n"))
        << name;
  }
  EXPECT_EQ("ORIGINAL", dir_.Read("victim.htm"));
}

// What the check learns of a run: each step, in the run's order.
class RecordingObserver : public GenObserver {
 public:
  std::vector<std::string> events;
  void OnDeleteThreshold(std::string_view text, int hours) override {
    events.push_back("threshold " + std::string(text) + " " + std::to_string(hours));
  }
  void OnCommandFile(const CIniFile& commands, int result, bool start) override {
    events.push_back(std::string(start ? "start " : "page ") + Name(commands.GetFileName()) + " " +
                     std::to_string(result));
  }
  void OnNegativeEntry(int index, std::string_view, std::string_view expanded) override {
    events.push_back("negative " + std::to_string(index) + " " + std::string(expanded));
  }
  void OnPageListed(const CIniFile&, std::string_view entry, const std::string&,
                    const std::string& output_name) override {
    events.push_back("listed " + std::string(entry) + " -> " + output_name);
  }
  void OnFrameSet(const CIniFile&, const std::string& path, GenResult result) override {
    events.push_back("frameset " + Name(path) + " " + std::to_string(static_cast<int>(result)));
  }
  void OnTemplate(const CIniFile&, const std::string& template_file, const std::string&,
                  const std::string& output_file, bool sound) override {
    events.push_back("template " + Name(template_file) + " -> " + Name(output_file) +
                     (sound ? " sound" : ""));
  }
  void OnPage(const CIniFile&, const std::string& output_file, GenResult result) override {
    events.push_back("page done " + Name(output_file) + " " +
                     std::to_string(static_cast<int>(result)));
  }
  void OnPlaceholder(const PlaceholderEvent& event) override {
    events.push_back(
        "placeholder " + std::string(event.commands->SectionName(event.record)) + " line " +
        std::to_string(event.template_line) +
        (event.in_template ? " column " + std::to_string(event.column) : std::string(" inserted")) +
        (event.tree_menu ? " tree" : " table"));
  }
  void OnLinkEntry(const LinkEvent& event) override {
    events.push_back("link " + std::string(event.key) + " " + std::string(event.entry->text) +
                     " line " + std::to_string(event.commands->LineOf(event.value)) + " " +
                     std::to_string(static_cast<int>(event.verdict)));
  }
  void OnCopy(const CopyEvent& event) override {
    events.push_back("copy " + Name(std::string(event.source)) + " " +
                     std::to_string(static_cast<int>(event.phase)) + " " +
                     std::to_string(static_cast<int>(event.result)) + " " +
                     std::to_string(event.excluded_by));
  }
  void OnStepFailed(GenResult result, int message, const std::string&, bool stops) override {
    events.push_back("failed " + std::to_string(message) + " " +
                     std::to_string(static_cast<int>(result)) + (stops ? " stops" : ""));
  }
  void OnResult(GenResult result, const std::string& start_page) override {
    events.push_back("result " + std::to_string(static_cast<int>(result)) + " " + Name(start_page));
  }

 private:
  static std::string Name(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
  }
};

TEST_F(GenerateTest, ObserverHearsEveryStepInOrder) {
  RecordingObserver observer;
  filter_.rights_flags = 0x00000001;
  main_config_.LoadFromBytes("[Nicht_Kopieren]\r\n0=" + dir_.Path("geheim.txt") +
                             "\r\n[Kopieren]\r\n0=nur-quelle\r\n");
  dir_.Write("start.ini",
             "[FrameSet]\r\nFrameLinks=a.htm\r\nFrameRechts=b.htm\r\n"
             "[Seiten]\r\n1=a.ini|a.htm\r\n2=fehlt.ini|f.htm\r\n3=b.ini|b.htm\r\n");
  dir_.Write("a.ini",
             "[Vorlage]\r\nVorlage=t.htm\r\n[Menu]\r\nTreeMenu=1\r\n"
             "0=Eins|1.htm\r\n1=#Zwei|2.htm|||00000002\r\n[Teil]\r\n0=Teil|t.htm\r\n");
  dir_.Write("b.ini", "[Vorlage]\r\nVorlage=leer.htm\r\n");
  dir_.Write("t.htm", "<p>MENU</p>\r\nx\r\n");
  dir_.Write("leer.htm", "leer");
  dir_.Write("geheim.txt", "geheim");
  CGenHtml gen(platform_, log_, main_config_, filter_, report_, folder_, &observer);
  gen.InitOutputDirectory();
  std::string start;
  EXPECT_EQ(GenResult::kCopyFailed, gen.Generate(dir_.Path("start.ini"), start));
  const std::string out = dir_.Path("Pagetrix") + kPathSeparator;
  std::vector<std::string> expected = {
      "threshold  24",
      "start start.ini 0",
      "negative 0 " + dir_.Path("geheim.txt"),
      "listed a.ini|a.htm -> a.htm",
      "listed fehlt.ini|f.htm -> f.htm",
      "listed b.ini|b.htm -> b.htm",
      "frameset Pagetrix.htm 0",
      "page a.ini 0",
      "template t.htm -> a.htm",
      "placeholder Menu line 1 column 3 tree",
      "link 0 Eins line 5 0",
      "link 1 #Zwei line 6 4",
      "page done a.htm 0",
      "page fehlt.ini 1",
      "failed 200 0",
      "page b.ini 0",
      "template leer.htm -> b.htm",
      "copy leer.htm 0 0 -1",
      "page done b.htm 0",
  };
  ASSERT_GE(observer.events.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], observer.events[i]) << i;
  // Then the template folder, file by file, the copy list and the result.
  std::vector<std::string> rest(observer.events.begin() + expected.size(), observer.events.end());
  auto has = [&](const std::string& event) {
    return std::find(rest.begin(), rest.end(), event) != rest.end();
  };
  EXPECT_TRUE(has("copy geheim.txt 1 3 0")) << "excluded by [Nicht_Kopieren] entry 0";
  EXPECT_TRUE(has("copy start.ini 1 3 -1")) << "the run's own command file";
  EXPECT_TRUE(has("copy a.htm 1 1 -1") || !has("copy a.htm 1 0 -1")) << "a page is kept";
  EXPECT_EQ("copy nur-quelle 2 4 -1", rest[rest.size() - 3]);
  EXPECT_EQ("failed 222 4", rest[rest.size() - 2]);
  EXPECT_EQ("result 4 Pagetrix.htm", rest.back());
}

TEST_F(GenerateTest, FrameSetNameOutsideTheFolderFailsWithoutFrames) {
  EnableLog();
  dir_.Write("victim.htm", "ORIGINAL");
  dir_.Write("t.htm", "x\r\n");
  const std::string name =
      std::string("..") + kPathSeparator + ".." + kPathSeparator + "victim.htm";
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
  platform_.Fail(FileOp::kMemory, dir_.Path("a.ini"));
  ASSERT_EQ(GenResult::kOk, Generate(dir_.Path("start.ini")));
  EXPECT_NE(std::string::npos,
            LogText().find("Fehler in der Kommandodatei: '" + dir_.Path("a.ini") + "'"));
  EXPECT_EQ("x\r\n", Output("Pagetrix.htm"));
}

}  // namespace
