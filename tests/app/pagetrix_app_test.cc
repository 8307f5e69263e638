#include "app/pagetrix_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_platform.h"
#include "support/fake_window.h"
#include "support/temp_dir.h"
#include "ui/failure_window.h"

namespace {

class PerformRunTest : public ::testing::Test {
 protected:
  PerformRunTest() {
    platform_.temp_dir = dir_.path() + kPathSeparator;
    platform_.user_name = "anna";
    platform_.tick_count = 5000;
    platform_.drive_type = DriveType::kFixed;
    platform_.network_name = "";
    dir_.Write("t.htm", "<html></html>\r\n");
    dir_.Write("start.ini", "[Vorlage]\r\nVorlage=t.htm\r\n");
  }

  void WriteConfig(const std::string& text) { dir_.Write("Pagetrix.ini", text); }

  // Runs with the main configuration file and the given further arguments.
  void Run(const std::string& arguments) {
    platform_.command_line_text = "/INI=\"" + dir_.Path("Pagetrix.ini") + "\" " + arguments;
    CPagetrixApp app(platform_, windows_);
    EXPECT_FALSE(app.PerformRun());
  }
  void RunWithCommandFile() { Run(Quoted(dir_.Path("start.ini"))); }
  static std::string Quoted(const std::string& path) { return '"' + path + '"'; }

  std::string StartPagePrefix() const {
    return "\"prog.exe\" \"" + dir_.Path("Pagetrix") + kPathSeparator;
  }

  FakePlatform platform_;
  FakeWindowSystem windows_;
  TempDir dir_;
};

TEST_F(PerformRunTest, StartCommandLineWithoutOptions) {
  WriteConfig("[Pagetrix]\r\nSichtbar=0\r\n[StartProg]\r\nName=prog.exe\r\n");
  RunWithCommandFile();
  ASSERT_EQ(1u, platform_.started_processes.size());
  const std::string& line = platform_.started_processes[0];
  ASSERT_EQ(0u, line.find(StartPagePrefix())) << line;
  EXPECT_EQ(std::string(1, kPathSeparator) + "Pagetrix.htm\"", line.substr(line.size() - 14));
  EXPECT_EQ(StartPagePrefix().size() + 36 + 14, line.size());
}

TEST_F(PerformRunTest, PageThatFailsHalfwayIsNeitherStartedNorShown) {
  WriteConfig("[StartProg]\r\nName=prog.exe\r\n");
  // The first line, longer than a write block, is written; the rest fails.
  dir_.Write("t.htm", std::string(3 << 20, 'x') + "\r\nLinks\r\n</html>\r\n");
  dir_.Write("start.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A\r\n");
  platform_.guid_texts = {"{0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718}"};
  platform_.Fail(FileOp::kAppend,
                 dir_.Path("Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718/Pagetrix.htm"), 1);
  std::string shown = "not shown";
  windows_.on_dialog = [&shown](DialogHandler& dialog) {
    auto* failure = dynamic_cast<CDlgFehler*>(&dialog);
    shown = failure != nullptr ? FailureList(failure->failures) : "the one-line window";
    return 1;
  };
  RunWithCommandFile();
  EXPECT_TRUE(platform_.started_processes.empty());
  // Not an empty path: what went wrong, as the run log has it.
  EXPECT_NE(std::string::npos, shown.find("Es kann keine HTML-Datei gebildet werden.")) << shown;
}

TEST_F(PerformRunTest, StartCommandLineOptionsInFixedOrder) {
  WriteConfig(
      "[Pagetrix]\r\nSichtbar=0\r\n[StartProg]\r\nName=prog.exe\r\n"
      "Log=l.txt\r\nParam=-k \"x\"\r\nIni=c.ini\r\n");
  RunWithCommandFile();
  ASSERT_EQ(1u, platform_.started_processes.size());
  const std::string& line = platform_.started_processes[0];
  std::string tail = " /INI=\"c.ini\" /PARAM=\"-k \"x\"\" /LOG=\"l.txt\"";
  ASSERT_GT(line.size(), tail.size());
  EXPECT_EQ(tail, line.substr(line.size() - tail.size()));
}

TEST_F(PerformRunTest, NoStartProgramWithoutNameOrPage) {
  WriteConfig("[Pagetrix]\r\nSichtbar=0\r\n[StartProg]\r\nIni=c.ini\r\n");
  RunWithCommandFile();
  EXPECT_TRUE(platform_.started_processes.empty());
  WriteConfig("[Pagetrix]\r\nSichtbar=0\r\n[StartProg]\r\nName=prog.exe\r\n");
  Run(Quoted(dir_.Path("fehlt.ini")));
  EXPECT_TRUE(platform_.started_processes.empty());
}

TEST_F(PerformRunTest, FailedStartShowsSystemMessageAndRunGoesOn) {
  WriteConfig("[StartProg]\r\nName=prog.exe\r\n");
  platform_.start_process_failure = "Das System kann die angegebene Datei nicht finden.";
  RunWithCommandFile();
  ASSERT_EQ(1u, windows_.message_boxes.size());
  EXPECT_EQ(*platform_.start_process_failure, windows_.message_boxes[0]);
  EXPECT_EQ(1u, windows_.dialogs.size());
}

TEST_F(PerformRunTest, VisibilityFollowsLeadingInteger) {
  const std::pair<const char*, size_t> cases[] = {{"", 1},  {"0", 0},    {"00", 0}, {"nein", 0},
                                                  {"2", 1}, {"1abc", 1}, {"-1", 1}, {" 0", 0}};
  for (const auto& [value, windows] : cases) {
    windows_.dialogs.clear();
    WriteConfig(std::string("[Pagetrix]\r\nSichtbar=") + value + "\r\n");
    RunWithCommandFile();
    EXPECT_EQ(windows, windows_.dialogs.size()) << "Sichtbar=" << value;
  }
  windows_.dialogs.clear();
  WriteConfig("");
  RunWithCommandFile();
  EXPECT_EQ(1u, windows_.dialogs.size());
}

TEST_F(PerformRunTest, HelpEndsTheRunWithoutTouchingTheLog) {
  WriteConfig("[Protokolldatei]\r\nName=" + dir_.Path("run.log") + "\r\n");
  dir_.Write("run.log", "old");
  Run("?");
  EXPECT_EQ(1u, windows_.dialogs.size());
  Run("");  // no command file anywhere
  EXPECT_EQ(2u, windows_.dialogs.size());
  EXPECT_EQ("old", dir_.Read("run.log"));
  EXPECT_TRUE(platform_.started_processes.empty());
}

TEST_F(PerformRunTest, CtrlKeyShowsTheRawArgumentsFirst) {
  WriteConfig("");
  windows_.ctrl_key_down = true;
  Run("?");
  ASSERT_EQ(1u, windows_.message_boxes.size());
  EXPECT_EQ("Aufrufparameter='/INI=\"" + dir_.Path("Pagetrix.ini") + "\" ?'",
            windows_.message_boxes[0]);
}

TEST_F(PerformRunTest, LogBeginsWithDateLineThenUserAndRights) {
  platform_.SetLocalTime(2026, 12, 8, 7, 5, 9);
  WriteConfig("[Pagetrix]\r\nSichtbar=0\r\n[Protokolldatei]\r\nName=" + dir_.Path("run.log") +
              "\r\n[Rechte]\r\nANNA=00010003\r\n[StartVorlage]\r\nStartVorlage=" +
              dir_.Path("start.ini") + "\r\n");
  Run("");
  std::string log = dir_.Read("run.log");
  EXPECT_EQ(0u, log.find("(0 ms) 08.12.2026 07:05:09\r\n"
                         "(0 ms) Aktueller User: 'anna', Rechte: '00010003'\r\n"
                         "(0 ms) \r\n(0 ms) Programmaufruf: "))
      << log;
}

}  // namespace

namespace {

// A run log path that names something the run reads or copies -- however
// it is spelled or reached, through a variable of the environment file too
// -- a folder or a device turns the log off; no file the run did not make
// changes, and the error window says why there is no log.
TEST_F(PerformRunTest, RunLogNeverReplacesAnInput) {
  const std::string sep(1, kPathSeparator);
  dir_.MakeDir("logs");
  dir_.MakeDir("seiten");
  dir_.Write("seiten/p.ini", "[Vorlage]\r\nVorlage=t.htm\r\nVerzeichnis=" + dir_.path() + "\r\n");
  dir_.Write("pages.ini", "[Seiten]\r\n0=%PTX_SEITEN%" + sep + "p.ini|Pagetrix.htm\r\n");
  dir_.Write("env.ini", "[Environment]\r\nPTX_SEITEN=" + dir_.Path("seiten") +
                            "\r\nPTX_DIR=" + dir_.path() + "\r\n");
  dir_.Write("bild.gif", std::string("GIF89a\0\x01", 8));
  dir_.Write("quelle.txt", "kopiert");
  const std::string config_text =
      "[Pagetrix]\r\nSichtbar=0\r\nLoeschStd=-1\r\n[Kopieren]\r\n1=" + dir_.Path("quelle.txt") +
      "|%PagetrixAusgabePath%" + sep + "kopie.txt\r\n";
  const std::vector<std::string> inputs = {"Pagetrix.ini", "pages.ini", "seiten/p.ini", "env.ini",
                                           "t.htm",        "bild.gif",  "quelle.txt"};
  std::vector<std::string> logs;
  for (const std::string& input : inputs) logs.push_back(dir_.Path(input));
  logs.push_back(dir_.path() + sep + "logs" + sep + ".." + sep + "pages.ini");
  logs.push_back(dir_.Path("logs"));
  logs.push_back(dir_.Path("logs/COM1"));
  logs.push_back(dir_.Path("logs/nul.log"));
  for (const std::string& log : logs) {
    WriteConfig(config_text + "[Protokolldatei]\r\nName=" + log + "\r\n");
    std::vector<std::string> before;
    for (const std::string& input : inputs) before.push_back(dir_.Read(input));
    // The start command file as the variable the environment file sets.
    Run(Quoted("%PTX_DIR%" + sep + "pages.ini") + " " + Quoted("/ENV=" + dir_.Path("env.ini")));
    for (size_t i = 0; i < inputs.size(); ++i)
      EXPECT_EQ(before[i], dir_.Read(inputs[i])) << inputs[i] << " as the log " << log;
  }
  // Any other path is the run log as before, and so is an earlier log.
  for (int run = 0; run < 2; ++run) {
    WriteConfig(config_text + "[Protokolldatei]\r\nName=" + dir_.Path("logs/run.log") + "\r\n");
    Run(Quoted("%PTX_DIR%" + sep + "pages.ini") + " " + Quoted("/ENV=" + dir_.Path("env.ini")));
    EXPECT_NE(std::string::npos, dir_.Read("logs/run.log").find("Lese Kommandodatei")) << run;
  }
}

TEST_F(PerformRunTest, FailedRunSaysWhyThereIsNoRunLog) {
  WriteConfig("[Protokolldatei]\r\nName=" + dir_.Path("start.ini") + "\r\n");
  dir_.Write("start.ini", "[Seiten]\r\n0=fehlt.ini|Pagetrix.htm\r\n");
  std::string shown;
  windows_.on_dialog = [&shown](DialogHandler& dialog) {
    auto* failure = dynamic_cast<CDlgFehler*>(&dialog);
    shown = failure != nullptr ? failure->ConsoleText() : "the one-line window";
    return 1;
  };
  RunWithCommandFile();
  EXPECT_NE(std::string::npos,
            shown.find("Kein Laufprotokoll: '" + dir_.Path("start.ini") +
                       "' ist kein Laufprotokoll von Pagetrix und wird nicht \xFC"
                       "berschrieben."))
      << shown;
  EXPECT_NE(std::string::npos, shown.find("Die Startseite wurde nicht erzeugt")) << shown;
  EXPECT_EQ("[Seiten]\r\n0=fehlt.ini|Pagetrix.htm\r\n", dir_.Read("start.ini"));
}

}  // namespace
