#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "check/check.h"

namespace {

// The HTML report is compared byte for byte with a page kept beside this
// test (Windows-1252, CR LF); PAGETRIX_REGENERATE_GOLDEN=1 rewrites it.
void ExpectPage(const std::string& name, const std::string& page) {
  const std::string path = std::string(PAGETRIX_CHECK_EXPECTED_DIR) + "/" + name;
  const char* regenerate = std::getenv("PAGETRIX_REGENERATE_GOLDEN");
  if (regenerate != nullptr && std::string(regenerate) == "1") {
    std::ofstream(path, std::ios::binary) << page;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path;
  const std::string expected((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  EXPECT_EQ(expected, page) << path;
}

TEST(CheckReportTest, HtmlPagesStayAsWritten) {
  // Nothing found, nothing run: every "none" branch of the page.
  CheckReport empty;
  empty.main_config = "C:\\P\\Pagetrix.ini";
  ExpectPage("report_empty_expected.htm", FormatHtmlReport(empty));

  // Two ways of running: one with a start page, one stopped with a message;
  // listed and unlisted users and servers, from disk and CD; findings with and
  // without the runs they concern; texts that must be escaped.
  CheckReport full;
  full.main_config = "C:\\P & Q\\Pagetrix.ini";
  full.command_file = "C:\\P\\<Start>.ini";
  full.columns = {
      {"anna", true, "S1", true, false, 1, 0, 0},
      {"anna", true, "S1", true, true, 1, 0, 0},
      {"bernd \"B\"", true, "S1", true, false, 2, 0, 1},
      {"bernd \"B\"", true, "S1", true, true, 2, 0, 1},
      {kUnlistedUserName, false, "fremd", false, false, 0, 0, 1},
  };
  RunGroup made;
  made.start_page_made = true;
  made.start_page = "C:\\Temp\\Pagetrix\\X\\Start.htm";
  made.shown = {1, 0, 2};
  made.columns = {0, 1};
  RunGroup stopped;
  stopped.result = 3;
  stopped.exit_code = 1;
  stopped.message = 12;
  stopped.message_text = "Die Vorlage\nfehlt \xFC<>  \n";
  stopped.shown = {1, 1, 1};
  stopped.columns = {2, 3, 4};
  full.groups = {made, stopped};
  full.rows = {
      {"Start.htm", "Nav",
       "Gr\xFC\xDF"
       "e & <Co>",
       "g.htm", "start.ini", 4, 0, 0, ""},
      {"Start.htm", "Nav", "&nbsp;Unter", "u.htm", "start.ini", 5, 2, 0, ""},
      {"Info.htm", "Links", "Extern", "http://x/?a=1&b=2", "info.ini", 2, 0, 1,
       "Rechte 4 hat niemand"},
  };
  Finding error;
  error.severity = Severity::kError;
  error.file = "start.ini";
  error.line = 7;
  error.section = "Nav";
  error.key = "Vorlage";
  error.what = "Die Datei <t.htm> fehlt";
  error.fix =
      "Den Namen \"t.htm\" pr\xFC"
      "fen";
  error.groups = {1};
  Finding warning;
  warning.file = "Pagetrix.ini";
  warning.what = "Ein Benutzer ohne Rechte";
  warning.fix = "Eintragen {{summary}}";  // a slot's name in a text stays text
  full.findings = {error, warning};
  ExpectPage("report_full_expected.htm", FormatHtmlReport(full));
}

}  // namespace
