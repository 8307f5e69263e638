#include "check/check.h"

#include <gtest/gtest.h>

#include <string>

#include "config/ini_file.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace {

class CheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.MakeDir("conf"));
    ASSERT_TRUE(dir_.MakeDir("out"));
  }

  CheckReport Check(const std::string& main_text, const std::string& command_text) {
    dir_.Write("conf/Pagetrix.ini", main_text);
    dir_.Write("start.ini", command_text);
    main_.Load(dir_.Path("conf/Pagetrix.ini"));
    CheckInput input;
    input.main_config_path = dir_.Path("conf/Pagetrix.ini");
    input.main_config = &main_;
    input.command_file = dir_.Path("start.ini");
    input.output_directory = dir_.Path("out");
    return CheckConfiguration(input);
  }

  static std::string Cells(const MatrixRow& row) {
    std::string cells;
    for (bool shown : row.shown) cells += shown ? 'x' : '-';
    return cells;
  }

  TempDir dir_;
  CIniFile main_;
};

TEST_F(CheckTest, MatrixShowsEachRuleForEveryUserServerAndDrive) {
  dir_.Write("t.htm", "<html><body>\r\nLINKS\r\n</body></html>\r\n");
  CheckReport report =
      Check("[Rechte]\r\nanna=00000001\r\nbert=00010002\r\n[Server]\r\nAUSSEN=00010000\r\n",
            "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n"
            "0=Offen|http://x/offen\r\n"
            "1=Gruppe1|http://x/g1|||00000001\r\n"
            "2=Gesperrt|http://x/ges|||00010000\r\n"
            "3=NichtCD|http://x/cd||||00000002\r\n"
            "4=Aussen|http://x/aus||||00010000\r\n");
  ASSERT_EQ(12u, report.columns.size());
  // Columns: anna, bert, a user not listed; each on AUSSEN and on no
  // listed server; each from a fixed drive, then from a CD.
  EXPECT_EQ("anna", report.columns[0].user);
  EXPECT_EQ("AUSSEN", report.columns[0].server);
  EXPECT_FALSE(report.columns[0].cd);
  EXPECT_TRUE(report.columns[1].cd);
  EXPECT_EQ("", report.columns[2].server);
  EXPECT_EQ(0x00010002u, report.columns[4].rights_flags);
  EXPECT_EQ("", report.columns[8].user);
  EXPECT_EQ(0u, report.columns[8].rights_flags);
  EXPECT_EQ(0x00010000u, report.columns[8].server_flags);
  ASSERT_EQ(5u, report.rows.size());
  EXPECT_EQ("Pagetrix.htm", report.rows[0].page);
  EXPECT_EQ("Links", report.rows[0].section);
  EXPECT_EQ("Offen", report.rows[0].text);
  EXPECT_EQ(4u, report.rows[0].line);
  EXPECT_EQ("xxxxxxxxxxxx", Cells(report.rows[0]));
  EXPECT_EQ("xxxx--------", Cells(report.rows[1]));
  EXPECT_EQ("xxxx----xxxx", Cells(report.rows[2]));
  EXPECT_EQ("x-x-x-x-x-x-", Cells(report.rows[3]));
  EXPECT_EQ("--xx--xx--xx", Cells(report.rows[4]));
  // The high-bit link is the one finding.
  ASSERT_EQ(1u, report.findings.size()) << FormatTextReport(report);
  EXPECT_EQ(6u, report.findings[0].line);
  EXPECT_EQ("Links", report.findings[0].section);
  EXPECT_EQ("2", report.findings[0].key);
  EXPECT_EQ(1, report.ExitCode());
}

TEST_F(CheckTest, UnusableStartCommandFileIsAnErrorAndShowsNoLink) {
  dir_.Write("t.htm", "LINKS\r\n");
  CheckReport report = Check("[Pagetrix]\r\nSichtbar=1\r\n",
                             "[Vorlage]\r\n# Startseite\r\nVorlage=t.htm\r\n[Links]\r\n0=A\r\n");
  EXPECT_EQ(2, report.ExitCode());
  ASSERT_FALSE(report.findings.empty());
  EXPECT_EQ(Severity::kError, report.findings[0].severity);
  EXPECT_EQ(dir_.Path("start.ini"), report.findings[0].file);
  EXPECT_EQ(2u, report.findings[0].line);
  EXPECT_EQ("Vorlage", report.findings[0].section);
  EXPECT_TRUE(report.rows.empty());
  // A user not listed on no listed server is still a case.
  EXPECT_EQ(2u, report.columns.size());
}

TEST_F(CheckTest, LinksThatNoRunShowsAreMarkedWithTheReason) {
  dir_.Write("t.htm", "<title>Menu</title>\r\nnichts\r\n");
  dir_.Write("s.htm", "MENU\r\n");
  dir_.Write("b.htm", "");
  dir_.Write("seite.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Menu]\r\n0=A|http://a\r\n");
  dir_.Write("klang.ini",
             "[Vorlage]\r\nVorlage=s.htm\r\nSound=gong.wav\r\n[Menu]\r\n0=B|http://b\r\n");
  CheckReport report = Check("", "[Seiten]\r\n1=seite.ini|a.htm\r\n2=klang.ini|b.htm\r\n");
  ASSERT_EQ(2u, report.rows.size());
  EXPECT_EQ("", report.rows[0].never_shown) << "the title holds it";
  EXPECT_EQ("Sound in [Vorlage]", report.rows[1].never_shown);
  EXPECT_EQ("--", Cells(report.rows[1]));
  std::string text = FormatTextReport(report);
  EXPECT_NE(std::string::npos, text.find("im Titel der Seite")) << text;
  EXPECT_NE(std::string::npos, text.find("Mit Sound ersetzt ein Lauf keinen Platzhalter")) << text;
}

TEST_F(CheckTest, ReportsNameEveryFindingAndEveryCase) {
  dir_.Write("t.htm", "LINKS\r\n");
  CheckReport report = Check("[Rechte]\r\nanna=1\r\n",
                             "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\nTreeMenu=ja\r\n"
                             "Ueberschift=Neu\r\n0=A<B|x.htm\r\n");
  std::string text = FormatTextReport(report);
  EXPECT_NE(std::string::npos, text.find("Ergebnis: 0 Fehler, 4 Warnungen (R\xFC"
                                         "ckgabewert 1)"))
      << text;
  EXPECT_NE(std::string::npos, text.find("Schl\xFC"
                                         "ssel \"Ueberschift\""))
      << text;
  EXPECT_NE(std::string::npos,
            text.find("Benutzer anna (00000001), Server (keiner) (00000000), CD"))
      << text;
  std::string html = FormatHtmlReport(report);
  EXPECT_NE(std::string::npos, html.find("A&lt;B")) << "texts are escaped";
  EXPECT_NE(std::string::npos, html.find("<option value=\"anna\">anna</option>"));
  EXPECT_NE(std::string::npos, html.find("position:sticky"));
  EXPECT_EQ(std::string::npos, html.find("\n\n"));
}

TEST_F(CheckTest, EmptyPageCommandFileIsNamedAndStopsTheRun) {
  dir_.Write("leer.ini", "");
  CheckReport report = Check("[Pagetrix]\r\nSichtbar=1\r\n", "[Seiten]\r\n1=leer.ini|a.htm\r\n");
  ASSERT_EQ(2u, report.findings.size()) << FormatTextReport(report);
  EXPECT_EQ(Severity::kWarning, report.findings[0].severity);
  EXPECT_EQ("Die Datei ist leer.", report.findings[0].what);
  EXPECT_EQ(Severity::kError, report.findings[1].severity);
  EXPECT_EQ(0u, report.findings[1].what.find("Keine Vorlage angegeben"));
  EXPECT_EQ(2, report.ExitCode());
}

TEST_F(CheckTest, FileThatExistsButCannotBeReadIsAnError) {
  ScopedPlatform platform;
  dir_.Write("t.htm", "LINKS\r\n");
  dir_.Write("seite.ini", "[Vorlage]\r\nVorlage=t.htm\r\n[Links]\r\n0=A|http://a/\r\n");
  platform->Fail(FileOp::kOpen, dir_.Path("seite.ini"));
  CheckReport report = Check("[Pagetrix]\r\nSichtbar=1\r\n", "[Seiten]\r\n1=seite.ini|a.htm\r\n");
  ASSERT_EQ(1u, report.findings.size()) << FormatTextReport(report);
  EXPECT_EQ(Severity::kError, report.findings[0].severity);
  EXPECT_EQ(dir_.Path("seite.ini"), report.findings[0].file);
  EXPECT_EQ(0u, report.findings[0].line);
  EXPECT_NE(std::string::npos, report.findings[0].what.find("kann nicht gelesen werden"));
  EXPECT_NE(std::string::npos, report.findings[0].what.find("l\xE4sst diese Seite aus"));
  EXPECT_TRUE(report.rows.empty());
}

}  // namespace
