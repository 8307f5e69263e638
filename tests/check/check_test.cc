// Saved in Windows-1252, as the report texts it looks for.
#include "check/check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ini_file.h"
#include "gen/output_folder.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace {

class CheckTest : public ::testing::Test {
 protected:
  CheckTest() {
    platform_.temp_dir = dir_.Path("tmp") + kPathSeparator;
    platform_.user_name = "tester";
    platform_.program_path = dir_.Path("prog/pagetrix");
    platform_.drive_type = DriveType::kFixed;
    platform_.network_name = "";
    dir_.MakeDir("tmp");
    dir_.MakeDir("prog");
    dir_.MakeDir("conf");
  }

  CheckReport Check(const std::string& main_text, const std::string& command_text,
                    RunIdentity identity = {}) {
    dir_.Write("conf/Pagetrix.ini", main_text);
    dir_.Write("start.ini", command_text);
    return CheckFiles(dir_.Path("conf/Pagetrix.ini"), dir_.Path("start.ini"), identity);
  }

  CheckReport CheckFiles(const std::string& main_path, const std::string& command_file,
                         RunIdentity identity = {}) {
    CheckInput input;
    input.main_config_path = main_path;
    input.main_config_result = main_.Load(platform_, main_path);
    input.main_config = &main_;
    input.command_file = command_file;
    input.identity = identity;
    input.folder = &folder_;
    return CheckConfiguration(platform_, input);
  }

  // x or - for each row, as the column of `user` on `server` sees it.
  static std::string Seen(const CheckReport& report, const std::string& user,
                          const std::string& server, bool cd) {
    for (const MatrixColumn& column : report.columns) {
      if (column.user != user || column.server != server || column.cd != cd) continue;
      const RunGroup& group = report.groups[column.group];
      std::string cells;
      for (size_t r = 0; r < report.rows.size(); ++r)
        cells += group.start_page_made && group.shown[r] > 0 ? 'x' : '-';
      return cells;
    }
    return "no such column";
  }

  // The place the program runs from, a server [Server] does not list.
  static std::string OwnServer(const CheckReport& report) {
    for (const MatrixColumn& column : report.columns) {
      if (!column.server_listed) return column.server;
    }
    return "no such server";
  }

  static bool Mentions(const CheckReport& report, const std::string& text, size_t line = 0) {
    for (const Finding& finding : report.findings) {
      if (finding.what.find(text) != std::string::npos && (line == 0 || finding.line == line))
        return true;
    }
    return false;
  }

  FakePlatform platform_;
  TempDir dir_;
  CIniFile main_;
  OutputFolder folder_{platform_};
};

TEST_F(CheckTest, MatrixGroupsTheRunsOfEveryUserServerAndDrive) {
  dir_.Write("t.htm", "<html><body>\r\nLINKS\r\n</body></html>\r\n");
  CheckReport report =
      Check("[Rechte]\r\nanna=00000001\r\nbert=00010002\r\n[Server]\r\nAUSSEN=00010000\r\n",
            "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n"
            "0=Offen|http://x/offen\r\n"
            "1=Gruppe1|http://x/g1|||00000001\r\n"
            "2=Gesperrt|http://x/ges|||00010000\r\n"
            "3=NichtCD|http://x/cd||||00000002\r\n"
            "4=Aussen|http://x/aus||||00010000\r\n");
  // anna, bert and the user running the check; AUSSEN and the program's own
  // place; each from where the program lies and from a CD.
  ASSERT_EQ(12u, report.columns.size());
  ASSERT_EQ(5u, report.rows.size());
  EXPECT_EQ("Offen", report.rows[0].text);
  EXPECT_EQ(4u, report.rows[0].line);
  const std::string own = OwnServer(report);
  EXPECT_EQ("xxxx-", Seen(report, "anna", "AUSSEN", false));
  EXPECT_EQ("xxxxx", Seen(report, "anna", own, false));
  EXPECT_EQ("xxx-x", Seen(report, "anna", own, true));
  EXPECT_EQ("x--x-", Seen(report, "bert", "AUSSEN", false));
  EXPECT_EQ("x----", Seen(report, "bert", "AUSSEN", true));
  EXPECT_EQ("x-x-x", Seen(report, "(nicht eingetragen)", own, true));
  // Every column sees its own set here; every run makes the start page.
  EXPECT_EQ(report.groups.size(), report.columns.size());
  for (const RunGroup& group : report.groups) EXPECT_TRUE(group.start_page_made);
  // The high-bit link is the one finding.
  ASSERT_EQ(1u, report.findings.size()) << FormatTextReport(report);
  EXPECT_EQ(6u, report.findings[0].line);
  EXPECT_EQ("Links", report.findings[0].section);
  EXPECT_EQ("2", report.findings[0].key);
  EXPECT_EQ(1, report.ExitCode());
}

// A run that stops makes no start page: every column says so, shows no link,
// and the check fails as the run would.
TEST_F(CheckTest, RunWithoutStartPageIsAnErrorAndShowsNoLink) {
  dir_.Write("t.htm", "LINKS\r\n");
  for (const char* name : {"a", "b", "c"}) {
    dir_.Write(std::string(name) + ".ini",
               std::string("[Vorlage]\r\nVorlage=") + (name[0] == 'c' ? "fehlt.htm" : "t.htm") +
                   "\r\n[Links]\r\n0=Link " + name + "|" + name + ".htm\r\n");
  }
  CheckReport report = Check("[Pagetrix]\r\nSichtbar=0\r\n",
                             "[Seiten]\r\n1=a.ini|a.htm\r\n2=b.ini|b.htm\r\n3=c.ini|c.htm\r\n");
  EXPECT_EQ(2, report.ExitCode());
  ASSERT_FALSE(report.groups.empty());
  for (const RunGroup& group : report.groups) {
    EXPECT_FALSE(group.start_page_made);
    EXPECT_EQ(7, group.result);
    EXPECT_EQ(7, group.exit_code);
    EXPECT_EQ(205, group.message);
    // Pages written before the stop are on disk all the same.
    EXPECT_EQ((std::vector<std::string>{"a.htm", "b.htm"}), group.files);
  }
  EXPECT_EQ("--", Seen(report, "(nicht eingetragen)", OwnServer(report), false));
  EXPECT_TRUE(Mentions(report, "fehlt.htm\" fehlt: ein Lauf bricht bei dieser Seite ab"))
      << FormatTextReport(report);
  EXPECT_TRUE(Mentions(report, "Ein Lauf erzeugt keine Startseite (Ergebnis 7"));
  const std::string text = FormatTextReport(report);
  EXPECT_LT(text.find("erzeugt KEINE Startseite"), text.find("Fundstellen")) << text;
}

TEST_F(CheckTest, PageNamesARunRefusesStopTheCheckToo) {
  dir_.Write("t.htm", "LINKS\r\n");
  dir_.Write("a.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A|a.htm\r\n");
  for (const char* name : {"CON.htm", "NUL", "p.htm:evil", "x.htm.", "Pagetrix.lck", "com1.txt",
                           "sub/x.htm", "..\\x.htm"}) {
    CheckReport report = Check("", std::string("[Seiten]\r\n1=a.ini|") + name + "\r\n");
    EXPECT_EQ(2, report.ExitCode()) << name;
    ASSERT_EQ(1u, report.groups.size()) << name;
    EXPECT_FALSE(report.groups[0].start_page_made) << name;
    EXPECT_EQ(7, report.groups[0].exit_code) << name;
    EXPECT_TRUE(Mentions(report, "kein einfacher Dateiname")) << name << FormatTextReport(report);
  }
  CheckReport frameset = Check("",
                               "[FrameSet]\r\nName=NUL\r\nFrameLinks=a.htm\r\nFrameRechts=a.htm\r\n"
                               "[Seiten]\r\n1=a.ini|a.htm\r\n");
  EXPECT_EQ(2, frameset.ExitCode());
  EXPECT_EQ(208, frameset.groups.at(0).message);
  EXPECT_TRUE(Mentions(frameset, "Die Rahmenseite \"NUL\" kann nicht geschrieben werden", 2))
      << FormatTextReport(frameset);
}

// The check asks the run's own rules: a frame showing a page no run makes
// ends the run without start page (9), and a log path naming a file that is
// no run log is left alone, whatever the file is.
TEST_F(CheckTest, MissingFramePageAndRefusedRunLogAsARunMeetsThem) {
  dir_.Write("t.htm", "LINKS\r\n");
  dir_.Write("a.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A|a.htm\r\n");
  for (const char* frame : {"fehlt.htm", "fehlt.htm#oben", "f%65hlt.htm"}) {
    CheckReport report = Check("", std::string("[FrameSet]\r\nFrameLinks=a.htm\r\nFrameRechts=") +
                                       frame + "\r\n[Seiten]\r\n1=a.ini|a.htm\r\n");
    EXPECT_EQ(2, report.ExitCode()) << frame;
    ASSERT_FALSE(report.groups.empty()) << frame;
    EXPECT_FALSE(report.groups[0].start_page_made) << frame;
    EXPECT_EQ(9, report.groups[0].exit_code) << frame;
    EXPECT_EQ(230, report.groups[0].message) << frame;
    EXPECT_TRUE(Mentions(report, "endet mit 9", 1)) << frame << FormatTextReport(report);
  }
  // A frame showing a page the run makes, or an address elsewhere, is fine.
  for (const char* frame : {"a.htm", "a.htm?x=1", "http://intern/", "C:\\x\\y.htm"}) {
    CheckReport report = Check("", std::string("[FrameSet]\r\nFrameLinks=a.htm\r\nFrameRechts=") +
                                       frame + "\r\n[Seiten]\r\n1=a.ini|a.htm\r\n");
    ASSERT_FALSE(report.groups.empty()) << frame;
    EXPECT_TRUE(report.groups[0].start_page_made) << frame << FormatTextReport(report);
  }

  dir_.Write("notiz.txt", "Notizen\r\n");
  dir_.MakeDir("ordner");
  dir_.Write("alt.log", "(0 ms) 01.02.2026 08:00:00\r\nText\r\n");
  struct Case {
    std::string log;
    bool refused;
  };
  for (const Case& c : {Case{dir_.Path("notiz.txt"), true}, Case{dir_.Path("ordner"), true},
                        Case{dir_.Path("conf/Pagetrix.ini"), true},
                        Case{dir_.Path("start.ini"), true}, Case{dir_.Path("neu.log"), false}}) {
    CheckReport report =
        Check("[Protokolldatei]\r\nName=" + c.log + "\r\n", "[Vorlage]\r\nVorlage=t.htm\r\n");
    EXPECT_EQ(c.refused, Mentions(report, "Ein Lauf schreibt kein Laufprotokoll", 2))
        << c.log << FormatTextReport(report);
  }
  EXPECT_EQ("Notizen\r\n", dir_.Read("notiz.txt"));
}

TEST_F(CheckTest, OldFoldersAndTemplateFoldersAsARunTreatsThem) {
  const std::string old_folder = "tmp/Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718";
  ASSERT_TRUE(dir_.MakeDir(old_folder));
  ASSERT_TRUE(dir_.Write(old_folder + "/Pagetrix.htm", "alt"));
  platform_.unix_time = 4'000'000'000;
  dir_.Write("t.htm", "LINKS\r\n");
  const std::string commands = "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A|x.htm\r\n";
  CheckReport never = Check("[Pagetrix]\r\nLoeschStd=nie\r\n", commands);
  EXPECT_TRUE(Mentions(never, "ein Lauf l\xF6scht keine alten Ausgabeordner", 2))
      << FormatTextReport(never);
  CheckReport always = Check("[Pagetrix]\r\nLoeschStd=0h\r\n", commands);
  EXPECT_TRUE(Mentions(always, "l\xF6scht bei jedem Start alle alten Ausgabeordner", 2))
      << FormatTextReport(always);
  // The check itself deletes nothing.
  EXPECT_EQ("alt", dir_.Read(old_folder + "/Pagetrix.htm"));

  dir_.Write("leer.ini", "[Vorlage]\r\nVerzeichnis=\r\nVorlage=" + dir_.Path("t.htm") +
                             "\r\n[Links]\r\n0=A|x.htm\r\n");
  CheckReport empty = Check("", "[Seiten]\r\n1=leer.ini|a.htm\r\n");
  EXPECT_TRUE(Mentions(empty, "kopiert aus keinem Vorlagenordner Dateien", 2))
      << FormatTextReport(empty);
  EXPECT_FALSE(Mentions(empty, "Stammverzeichnis"));
}

TEST_F(CheckTest, TreeEntriesBelowAHiddenFolderAreNamedForTheRunsThatHideIt) {
  dir_.Write("t.htm", "MENU\r\n");
  CheckReport report = Check("[Rechte]\r\nadmin=00000004\r\n",
                             "[Vorlage]\r\nVorlage=t.htm\r\n[Menu]\r\nTreeMenu=1\r\n"
                             "0=Start|s.htm\r\n"
                             "1=#Administration||||00000004\r\n"
                             "2=##Benutzer|b.htm\r\n"
                             "3=##Server|v.htm|||00000004\r\n");
  ASSERT_EQ(4u, report.rows.size());
  EXPECT_EQ("xxxx", Seen(report, "admin", OwnServer(report), false));
  EXPECT_EQ("x-x-", Seen(report, "(nicht eingetragen)", OwnServer(report), false));
  ASSERT_TRUE(Mentions(report, "\"##Benutzer\" steht im Baummen\xFC unter \"#Administration\"", 7))
      << FormatTextReport(report);
  for (const Finding& finding : report.findings) {
    if (finding.what.find("Baummen") != std::string::npos) {
      EXPECT_EQ(1u, finding.groups.size()) << "only the runs that hide it";
    }
  }
  // Those who see the folder and those who do not: two ways of running.
  EXPECT_EQ(2u, report.groups.size());
}

TEST_F(CheckTest, MissingCommandFileOrConfigurationIsAnError) {
  CheckReport none = CheckFiles(dir_.Path("fehlt.ini"), "");
  EXPECT_EQ(2, none.ExitCode());
  EXPECT_TRUE(none.groups.empty());
  EXPECT_TRUE(Mentions(none, "Die Hauptkonfiguration fehlt"));
  EXPECT_TRUE(Mentions(none, "Keine Kommandodatei"));

  CheckReport missing = CheckFiles(dir_.Path("fehlt.ini"), dir_.Path("nichts.ini"));
  EXPECT_EQ(2, missing.ExitCode());
  ASSERT_EQ(1u, missing.groups.size());
  EXPECT_EQ(1, missing.groups[0].exit_code);
  EXPECT_TRUE(Mentions(missing, "Die Kommandodatei fehlt. Ein Lauf erzeugt keine Seite"));
}

// One pass reports every mistake, also those a rejected line hides from a
// run; a file read as start and as page command file is looked at once.
TEST_F(CheckTest, EveryMistakeOfARejectedFileInOnePass) {
  dir_.Write("t.htm", "LINKS\r\n");
  CheckReport report = Check("",
                             "[Vorlage]\r\n"          // 1
                             "Vorlage=t.htm\r\n"      // 2
                             "[Links]\r\n"            // 3
                             "Ueberschift=Neu\r\n"    // 4
                             "1=A|a.htm|||xyz\r\n"    // 5
                             "\r\n"                   // 6
                             "; Kommentar\r\n"        // 7
                             "2=B|b.htm||| 0001\r\n"  // 8
                             "\r\n"                   // 9
                             "\r\n"                   // 10
                             "\r\n"                   // 11
                             "2=C|c.htm\r\n"          // 12
                             "# Linkliste\r\n"        // 13
                             "3=D|d.htm ;x|y\r\n");   // 14
  for (size_t line : {4, 5, 8, 12, 13, 14}) {
    bool found = false;
    for (const Finding& finding : report.findings) found = found || finding.line == line;
    EXPECT_TRUE(found) << "line " << line << "\n" << FormatTextReport(report);
  }
  EXPECT_EQ(2, report.ExitCode());
  // Each finding once, though two roles read the file.
  for (size_t i = 0; i < report.findings.size(); ++i) {
    for (size_t j = i + 1; j < report.findings.size(); ++j) {
      EXPECT_FALSE(report.findings[i].line == report.findings[j].line &&
                   report.findings[i].what == report.findings[j].what)
          << report.findings[i].what;
    }
  }
}

TEST_F(CheckTest, PlaceholdersWhereARunPutsThem) {
  dir_.Write("t.htm", "<title>Menu</title>\r\nnichts\r\n");
  dir_.Write("s.htm", "<head>\r\nMENU\r\n");
  dir_.Write("w.htm", "MENU MENU\r\nMenu\r\nSUBMENU\r\n");
  dir_.Write("seite.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Menu]\r\n0=A|http://a\r\n");
  dir_.Write("klang.ini",
             "[Vorlage]\r\nVorlage=s.htm\r\nSound=gong.wav\r\n[Menu]\r\n0=B|http://b\r\n");
  dir_.Write("wort.ini",
             "[Vorlage]\r\nVorlage=w.htm\r\n[Menu]\r\n0=C|http://c\r\n"
             "[Fehlt]\r\n0=D|http://d\r\n");
  CheckReport report =
      Check("", "[Seiten]\r\n1=seite.ini|a.htm\r\n2=klang.ini|b.htm\r\n3=wort.ini|c.htm\r\n");
  EXPECT_TRUE(Mentions(report, "steht im Titel der Seite", 1)) << FormatTextReport(report);
  EXPECT_TRUE(Mentions(report, "Mit Sound ersetzt ein Lauf keinen Platzhalter", 3));
  EXPECT_TRUE(Mentions(report, "steht in 3 Zeilen", 2));
  EXPECT_TRUE(Mentions(report, "mitten in einem Wort", 3));
  EXPECT_TRUE(Mentions(report, "setzt die Links dieser Sektion nie ein", 5));
  // The menu of the sound page is never read: no row.
  for (const MatrixRow& row : report.rows) EXPECT_NE("B", row.text);
}

TEST_F(CheckTest, CopiesAsARunMakesThem) {
  dir_.MakeDir("vorlagen");
  dir_.Write("vorlagen/t.htm", "LINKS\r\n");
  dir_.Write("vorlagen/bild.gif", "GIF");
  dir_.Write("vorlagen/geheim.ini", "[x]\r\n");
  dir_.Write("vorlagen/seite.ini",
             "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=Bild|bild.gif\r\n"
             "1=Fehlt|fehlt.htm\r\n");
  const std::string out = dir_.Path("tmp/Pagetrix/x");
  CheckReport report =
      Check("[Nicht_Kopieren]\r\n1=bild.gif\r\n2=" + dir_.Path("vorlagen/*.gif") +
                "\r\n[Kopieren]\r\n1=" + dir_.Path("nichts.txt") + "|%PagetrixAusgabePath%" +
                kPathSeparator + "n.txt\r\n2=nur-quelle\r\n",
            "[Seiten]\r\n1=" + dir_.Path("vorlagen/seite.ini") + "|a.htm\r\n");
  EXPECT_TRUE(Mentions(report, "schlie\xDFt keine Datei aus", 2)) << FormatTextReport(report);
  EXPECT_TRUE(Mentions(report, "wirken hier nicht", 3));
  EXPECT_TRUE(Mentions(report, "kopieren (Meldung 207): die Quelle fehlt", 5));
  EXPECT_TRUE(Mentions(report, "Meldung 222", 6));
  EXPECT_TRUE(Mentions(report, "liegt im Vorlagenordner"));
  EXPECT_TRUE(Mentions(report, "\"fehlt.htm\" zeigt auf eine Datei"));
  EXPECT_FALSE(Mentions(report, "\"bild.gif\" zeigt auf eine Datei"));
  ASSERT_EQ(1u, report.groups.size());
  EXPECT_EQ((std::vector<std::string>{"a.htm", "bild.gif", "geheim.ini"}), report.groups[0].files);
  // Nothing was made for real.
  EXPECT_EQ(PathKind::kMissing, platform_.FindPath(dir_.Path("tmp/Pagetrix")));
}

// How often the group of the first column shows each row, by row text.
std::string ShownByText(const CheckReport& report) {
  std::string out;
  const RunGroup& group = report.groups[report.columns.front().group];
  for (size_t r = 0; r < report.rows.size(); ++r)
    out += report.rows[r].page + ":" + report.rows[r].text + "=" + std::to_string(group.shown[r]) +
           " ";
  return out;
}

// A page file shows what its last write left there: a later page of the
// same name, or a [Kopieren] entry onto it, takes the earlier links away.
TEST_F(CheckTest, APageFileShowsWhatItsLastWriteLeft) {
  dir_.Write("t.htm", "LINKS\r\nLINKS\r\n");
  dir_.Write("a.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=Alt|http://a\r\n");
  dir_.Write("b.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=Neu|http://b\r\n");
  dir_.Write("c.ini", "[Vorlage]\r\nVorlage=fehlt.htm\r\n[Links]\r\n0=Nie|http://c\r\n");
  dir_.Write("bild.gif", "GIF");
  // The same name twice: the second page replaces the first. A third page
  // of that name whose template is missing writes nothing, and the run stops.
  CheckReport report = Check("", "[Seiten]\r\n1=a.ini|x.htm\r\n2=b.ini|x.htm\r\n");
  EXPECT_EQ("x.htm:Alt=0 x.htm:Neu=2 ", ShownByText(report)) << FormatTextReport(report);
  EXPECT_TRUE(Mentions(report, "entsteht mehr als einmal"));
  report = Check("", "[Seiten]\r\n1=a.ini|x.htm\r\n2=c.ini|x.htm\r\n");
  EXPECT_EQ("x.htm:Alt=2 ", ShownByText(report)) << FormatTextReport(report);
  EXPECT_EQ((std::vector<std::string>{"x.htm"}), report.groups[0].files);
  // A copy onto the page: the folder holds the copy, not the page.
  report = Check("[Kopieren]\r\n1=" + dir_.Path("bild.gif") + "|%PagetrixAusgabePath%" +
                     kPathSeparator + "y.htm\r\n",
                 "[Seiten]\r\n1=a.ini|x.htm\r\n2=b.ini|y.htm\r\n");
  EXPECT_EQ("x.htm:Alt=2 y.htm:Neu=0 ", ShownByText(report)) << FormatTextReport(report);
  EXPECT_TRUE(Mentions(report,
                       "\xFC"
                       "ber die Seite \"y.htm\"",
                       2));
}

// Where a browser shows a page otherwise than the run writes it, a finding
// says so: links put into another section's output, and a tree menu whose
// script a browser cannot read.
TEST_F(CheckTest, WhatABrowserShowsOtherwiseIsNamed) {
  dir_.Write("t.htm", "NAV\r\n");
  CheckReport report =
      Check("",
            "[Vorlage]\r\nVorlage=t.htm\r\n[Nav]\r\nTreeMenu=1\r\n0=Zu Kontakt|k.htm\r\n"
            "1=Pfad|C:\\Daten\\xyz.htm\r\n2=Gut|C:\\\\Daten\r\n"
            "[Kontakt]\r\n0=Telefon|tel.htm\r\n");
  EXPECT_TRUE(Mentions(report,
                       "Der Name der Sektion \"Kontakt\" steht in dem, was die Sektion "
                       "\"Nav\" einsetzt",
                       3))
      << FormatTextReport(report);
  EXPECT_TRUE(Mentions(report, "dem Skript des Men\xFCs"));
  // "\D" reads as "D"; "\x" without digits is written as it stands.
  EXPECT_TRUE(Mentions(report, "leitet im Skript des Baummen\xFCs eine Escape-Folge ein", 6));
  EXPECT_FALSE(Mentions(report, "zeigt das ganze Men\xFC nicht"));
  EXPECT_FALSE(Mentions(report, "Escape-Folge", 7));
  // A name in the template's own text is no such finding.
  dir_.Write("t.htm", "NAV KONTAKT\r\n");
  report = Check("",
                 "[Vorlage]\r\nVorlage=t.htm\r\n[Nav]\r\n0=Start|s.htm\r\n"
                 "[Kontakt]\r\n0=Telefon|tel.htm\r\n");
  EXPECT_FALSE(Mentions(report, "steht in dem, was die Sektion")) << FormatTextReport(report);
}

TEST_F(CheckTest, ReportsStartWithTheVerdictAndEscapeTheirTexts) {
  dir_.Write("t.htm", "LINKS\r\n");
  CheckReport report = Check("[Rechte]\r\nanna=1\r\n",
                             "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\nTreeMenu=ja\r\n"
                             "0=Gr\xFC\xDF"
                             "e<B|x.htm\r\n");
  const std::string text = FormatTextReport(report);
  EXPECT_LT(text.find("Was ein Lauf tut"), text.find("Fundstellen")) << text;
  EXPECT_NE(std::string::npos, text.find("TreeMenu \"ja\" ist weder 0 noch 1: ein Lauf schreibt "
                                         "eine Linktabelle"))
      << text;
  const std::string html = FormatHtmlReport(report);
  EXPECT_NE(std::string::npos, html.find("Gr\xFC\xDF"
                                         "e&lt;B"))
      << "texts are escaped";
  EXPECT_NE(std::string::npos, html.find("<option value=\"anna\">anna</option>"));
  EXPECT_EQ(std::string::npos, html.find("\n\n"));
  const std::string json = FormatJsonReport(report);
  EXPECT_NE(std::string::npos, json.find("\"text\": \"Gr\\u00fc\\u00dfe<B\"")) << json;
  EXPECT_NE(std::string::npos, json.find("\"start_page_made\": true"));
}

// With many users and servers the HTML matrix names each user once per
// group, not once per server and drive.
TEST_F(CheckTest, HtmlMatrixNamesEachUserOncePerGroup) {
  dir_.Write("t.htm", "LINKS\r\n");
  std::string main = "[Rechte]\r\n";
  for (int u = 0; u < 20; ++u)
    main += "nutzer" + std::to_string(u) + "=0000000" + (u % 2 ? "1" : "2") + "\r\n";
  main += "[Server]\r\n";
  for (int s = 0; s < 20; ++s) main += "srv" + std::to_string(s) + "=00000000\r\n";
  CheckReport report = Check(main,
                             "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n"
                             "0=Eins|a.htm|||00000001\r\n1=Zwei|b.htm|||00000002\r\n");
  ASSERT_EQ(21u * 21u * 2u, report.columns.size());
  const std::string html = FormatHtmlReport(report);
  size_t count = 0;
  for (size_t at = html.find("|nutzer1|"); at != std::string::npos;
       at = html.find("|nutzer1|", at + 1))
    ++count;
  // One header and two cells of the one group nutzer1 is in.
  EXPECT_EQ(3u, count) << html.size();
}

}  // namespace
