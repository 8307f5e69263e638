#include "app/check_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/pagetrix_app.h"
#include "config/environment.h"
#include "config/run_log.h"
#include "gen/run_setup.h"
#include "platform/file_reading.h"
#include "res/resource.h"
#include "support/fake_platform.h"
#include "support/fake_window.h"
#include "support/temp_dir.h"

namespace {

class NoHelpCommandLine : public CMyCommandLineInfo {
 public:
  explicit NoHelpCommandLine(FileSystem& files) : CMyCommandLineInfo(files, SystemWindows()) {}
  void ShowHelp() override { help_shown = true; }
};

TEST(CheckKeywordsTest, PruefenAndCdInAnyCaseWithOrWithoutPrefix) {
  FakePlatform platform;
  for (const char* word : {"/PRUEFEN", "-pruefen", "Pruefen", "/\\PRUEFEN"}) {
    NoHelpCommandLine info(platform);
    info.ParseCommandLine(std::string(word) + " start.ini");
    EXPECT_TRUE(info.check_mode) << word;
    EXPECT_FALSE(info.as_cd) << word;
    EXPECT_EQ("start.ini", info.command_file) << word;
  }
  for (const char* word : {"/CD", "-cd", "Cd"}) {
    NoHelpCommandLine info(platform);
    info.ParseCommandLine(word);
    EXPECT_TRUE(info.as_cd) << word;
    EXPECT_FALSE(info.check_mode) << word;
    EXPECT_EQ("", info.command_file) << word;
  }
  // Only the whole word counts.
  NoHelpCommandLine other(platform);
  other.ParseCommandLine("-PRUEFEN=1 -CDROM cd.ini");
  EXPECT_FALSE(other.check_mode);
  EXPECT_FALSE(other.as_cd);
  EXPECT_EQ("cd.ini", other.command_file);
}

TEST(TreatStartDriveAsCdTest, DriveTypeAndEnvironmentSectionOfACdStart) {
  StartLocation location;
  location.start_drive = "C:";
  location.drive_type = DriveType::kFixed;
  location.environment_section = "Environment_FIXED";
  location.current_server = "C:";
  TreatStartDriveAsCd(location);
  EXPECT_EQ(DriveType::kCdRom, location.drive_type);
  EXPECT_EQ("Environment_CDROM", location.environment_section);
  EXPECT_EQ("C:", location.start_drive);
  EXPECT_EQ("C:", location.current_server);
}

// A shown dialog as the run left it: its template and its console text.
struct ShownDialog {
  int template_id;
  std::string text;
};

class RunResultTest : public ::testing::Test {
 protected:
  RunResultTest() {
    platform_.temp_dir = dir_.path() + kPathSeparator;
    platform_.user_name = "anna";
    platform_.tick_count = 5000;
    platform_.drive_type = DriveType::kFixed;
    platform_.network_name = "";
    windows_.on_dialog = [this](DialogHandler& dialog) {
      shown_.push_back({dialog.TemplateId(), dialog.ConsoleText()});
      return 1;
    };
    dir_.Write("t.htm", "<html>\r\nLINKS\r\n</html>\r\n");
    dir_.Write("start.ini",
               "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=Eins|http://eins/\r\n"
               "1=Platte|http://platte/||||00000002\r\n");
  }

  // The main configuration stands apart: in the template folder it would be
  // copied to every output folder, and the check says so.
  int Run(const std::string& config, const std::string& arguments) {
    dir_.MakeDir("conf");
    dir_.Write("conf/Pagetrix.ini", config);
    platform_.command_line_text = "/INI=\"" + dir_.Path("conf/Pagetrix.ini") + "\" " + arguments;
    CPagetrixApp app(platform_, windows_);
    EXPECT_FALSE(app.PerformRun());
    return app.ExitCode();
  }
  std::string Start() const { return "\"" + dir_.Path("start.ini") + "\""; }
  std::vector<std::string> OutputFolders() const {
    std::vector<FolderEntry> entries;
    SystemPlatform().ListFolder(dir_.Path("Pagetrix"), &entries);
    std::vector<std::string> folders;
    for (const FolderEntry& entry : entries) folders.push_back(entry.path);
    return folders;
  }

  FakePlatform platform_;
  FakeWindowSystem windows_;
  TempDir dir_;
  std::vector<ShownDialog> shown_;
};

TEST_F(RunResultTest, CheckWritesOnlyItsReportsAndOpensTheHtmlOne) {
  ASSERT_TRUE(dir_.MakeDir("Pagetrix/{alt}"));
  ASSERT_TRUE(dir_.Write("Pagetrix/{alt}/Pagetrix.htm", "alt"));
  int code =
      Run("[Pagetrix]\r\nLoeschStd=0\r\n[StartProg]\r\nName=prog.exe\r\n"
          "[Protokolldatei]\r\nName=" +
              dir_.Path("lauf.log") + "\r\n[Rechte]\r\nanna=1\r\n",
          "/PRUEFEN " + Start());
  EXPECT_EQ(1, code) << windows_.console;  // the rights text is not eight digits
  EXPECT_EQ("alt", dir_.Read("Pagetrix/{alt}/Pagetrix.htm")) << "old folders stay";
  EXPECT_EQ("", dir_.Read("lauf.log")) << "no run log";
  EXPECT_TRUE(shown_.empty()) << "no window, so no placement is written";
  std::vector<std::string> folders = OutputFolders();
  ASSERT_EQ(2u, folders.size());
  std::string report = folders[0].find("{alt}") == std::string::npos ? folders[0] : folders[1];
  std::string text = dir_.Read(report.substr(dir_.path().size() + 1) + "/Pruefbericht.txt");
  EXPECT_EQ(text, windows_.console);
  EXPECT_NE(std::string::npos, text.find("Schl\xFC"
                                         "ssel \"anna\""))
      << text;
  ASSERT_EQ(1u, platform_.started_processes.size());
  EXPECT_EQ("\"prog.exe\" \"" + report + kPathSeparator + "Pruefbericht.htm\"",
            platform_.started_processes[0]);
}

// A scripted check must fail where a run would only show help.
TEST_F(RunResultTest, CheckWithoutConfigurationOrCommandFileReportsInsteadOfHelp) {
  platform_.command_line_text = "/PRUEFEN /INI=\"" + dir_.Path("verschrieben.ini") + "\"";
  {
    CPagetrixApp app(platform_, windows_);
    EXPECT_FALSE(app.PerformRun());
    EXPECT_EQ(2, app.ExitCode());
  }
  EXPECT_TRUE(shown_.empty()) << "no help window";
  EXPECT_NE(std::string::npos, windows_.console.find("Die Hauptkonfiguration fehlt"))
      << windows_.console;
  EXPECT_NE(std::string::npos, windows_.console.find("Keine Kommandodatei"));
  ASSERT_EQ(1u, OutputFolders().size()) << "the report is written all the same";
  // A configuration without [StartVorlage] and no command file: the same.
  windows_.console.clear();
  EXPECT_EQ(2, Run("[Pagetrix]\r\nSichtbar=1\r\n", "/PRUEFEN"));
  EXPECT_TRUE(shown_.empty());
  EXPECT_NE(std::string::npos, windows_.console.find("Keine Kommandodatei"));
  // An explicit "?" still asks for help.
  EXPECT_EQ(0, Run("", "/PRUEFEN ?"));
  EXPECT_EQ(1u, shown_.size());
}

TEST_F(RunResultTest, CheckOfAFaultlessConfigurationEndsWithZero) {
  EXPECT_EQ(0, Run("[Rechte]\r\nanna=00000001\r\n", "-pruefen " + Start()));
  EXPECT_NE(std::string::npos, windows_.console.find("Ergebnis: 0 Fehler, 0 Warnungen"))
      << windows_.console;
  EXPECT_TRUE(platform_.started_processes.empty());
}

TEST_F(RunResultTest, ExitCodeIsZeroWithAStartPageElseTheGeneratorsResult) {
  EXPECT_EQ(0, Run("[Pagetrix]\r\nSichtbar=0\r\n", Start()));
  EXPECT_EQ(1, Run("[Pagetrix]\r\nSichtbar=0\r\n", "\"" + dir_.Path("fehlt.ini") + "\""));
  dir_.Write("seiten.ini", "[Seiten]\r\n1=start.ini\r\n");
  EXPECT_EQ(5, Run("[Pagetrix]\r\nSichtbar=0\r\n", "\"" + dir_.Path("seiten.ini") + "\""));
  EXPECT_TRUE(shown_.empty()) << "Sichtbar=0 shows nothing, also after a failure";
}

TEST_F(RunResultTest, FailedRunShowsItsMessageInsteadOfAnEmptyField) {
  EXPECT_EQ(1, Run("", "\"" + dir_.Path("fehlt.ini") + "\""));
  ASSERT_EQ(1u, shown_.size());
  EXPECT_EQ(IDD_PAGETRIX_FEHLER, shown_[0].template_id);
  EXPECT_NE(std::string::npos,
            shown_[0].text.find("Fehler in der Kommandodatei: '" + dir_.Path("fehlt.ini") + "'"))
      << shown_[0].text;
  shown_.clear();
  EXPECT_EQ(0, Run("", Start()));
  ASSERT_EQ(1u, shown_.size());
  EXPECT_EQ(IDD_PAGETRIX_DIALOG, shown_[0].template_id);
}

TEST_F(RunResultTest, CdKeywordHidesTheLinksNotShownFromCd) {
  EXPECT_EQ(0, Run("[Pagetrix]\r\nSichtbar=0\r\n", "/CD " + Start()));
  std::vector<std::string> folders = OutputFolders();
  ASSERT_EQ(1u, folders.size());
  std::string page = dir_.Read(folders[0].substr(dir_.path().size() + 1) + "/Pagetrix.htm");
  EXPECT_NE(std::string::npos, page.find("http://eins/"));
  EXPECT_EQ(std::string::npos, page.find("http://platte/"));
}

// A run that skips two pages and then stops: the window lists all three
// messages in the order of the run log, and the log can be read while the
// window is open, whole.
TEST_F(RunResultTest, FailedRunListsEveryFailureInOrderWithItsLogClosed) {
  dir_.Write("ohne.ini", "[Vorlage]\r\nVerzeichnis=.\r\n");
  dir_.Write("seiten.ini",
             "[Seiten]\r\n1=fehlt1.ini|a.htm\r\n2=fehlt2.ini|b.htm\r\n"
             "3=ohne.ini|c.htm\r\n");
  const std::string log = dir_.Path("lauf.log");
  std::string read_while_shown;
  bool readable = false;
  windows_.on_dialog = [&](DialogHandler& dialog) {
    shown_.push_back({dialog.TemplateId(), dialog.ConsoleText()});
    readable = ReadFileToString(SystemPlatform(), log, &read_while_shown) == ReadResult::kOk;
    return 1;
  };
  EXPECT_EQ(2,
            Run("[Protokolldatei]\r\nName=" + log + "\r\n", "\"" + dir_.Path("seiten.ini") + "\""));
  ASSERT_EQ(1u, shown_.size());
  EXPECT_EQ(IDD_PAGETRIX_FEHLER, shown_[0].template_id);
  const std::string messages =
      "Fehler in der Kommandodatei: '" + dir_.Path("fehlt1.ini") + "'\r\n\r\n" +
      "Fehler in der Kommandodatei: '" + dir_.Path("fehlt2.ini") + "'\r\n\r\n" +
      "Keine Vorlage in der Kommandodatei: '" + dir_.Path("ohne.ini") + "' angegeben.";
  EXPECT_EQ("Es wurde keine Startseite erzeugt (Ergebnis 2). Die Meldungen des Laufs:\r\n\r\n" +
                messages + "\r\n\r\nLaufprotokoll: " + log +
                "\r\nPagetrix.exe /PRUEFEN zeigt, was an der Konfiguration nicht stimmt.\r\n",
            shown_[0].text);
  EXPECT_TRUE(readable) << "the run still holds its log";
  EXPECT_EQ(dir_.Read("lauf.log"), read_while_shown) << "nothing is written after the window";
  size_t at = 0;
  for (const char* page : {"fehlt1.ini", "fehlt2.ini", "ohne.ini"}) {
    at = read_while_shown.find(dir_.Path(page), at);
    EXPECT_NE(std::string::npos, at) << page << " in order in\n" << read_while_shown;
  }
}

TEST(RunLogFailuresTest, KeptInOrderAlsoWhileTheLogIsOff) {
  RunLog log{SystemPlatform()};
  log.LogFailure("Fehler in der Kommandodatei: 'a.ini'");
  log.Log("Lese Kommandodatei: 'b.ini'");
  log.LogFailure("Keine Vorlage in der Kommandodatei: 'b.ini' angegeben.");
  EXPECT_FALSE(log.IsEnabled());
  EXPECT_EQ(std::vector<std::string>({"Fehler in der Kommandodatei: 'a.ini'",
                                      "Keine Vorlage in der Kommandodatei: 'b.ini' angegeben."}),
            log.Failures());
}

}  // namespace
