#include "res/usage_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The compiled-in text is the source file byte for byte, encoding and line
// ends included; the build must not convert either.
TEST(UsageTextTest, CompiledTextIsTheSourceFile) {
  std::ifstream in(PAGETRIX_USAGE_TEXT_FILE, std::ios::binary);
  ASSERT_TRUE(in) << PAGETRIX_USAGE_TEXT_FILE;
  std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(source.empty());
  EXPECT_EQ(source, UsageText());
}

// The text is laid out for a fixed-pitch font with a tab stop every eighth
// column, as a console shows it (the native build prints it) and the help
// window does; it stays narrower than a console of 80 columns.
constexpr size_t kMaxColumns = 76;
constexpr size_t kTabColumns = 8;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t crlf; (crlf = text.find("\r\n", start)) != std::string::npos; start = crlf + 2)
    lines.push_back(text.substr(start, crlf - start));
  lines.push_back(text.substr(start));
  return lines;
}

size_t Columns(const std::string& line) {
  size_t columns = 0;
  for (char c : line) columns = c == '\t' ? (columns / kTabColumns + 1) * kTabColumns : columns + 1;
  return columns;
}

TEST(UsageTextTest, WindowsTextWithCrLfLinesThatFitTheHelpWindow) {
  const std::string text = UsageText();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      ASSERT_EQ('\n', text[i + 1]) << "at " << i;
    } else if (text[i] == '\n') {
      ASSERT_EQ('\r', text[i - 1]) << "at " << i;
    }
  }
  EXPECT_NE(std::string::npos, text.find('\t'));
  EXPECT_NE(std::string::npos, text.find("Gro\xDF- und Kleinschreibung"));
  // The only UTF-8 in it is the example of what UTF-8 looks like.
  std::string rest = text;
  rest.erase(rest.find("M\xC3\xA4rz"), 5);
  EXPECT_EQ(std::string::npos, rest.find('\xC3')) << "UTF-8 instead of Windows-1252";
  for (const std::string& line : Lines(text)) EXPECT_LE(Columns(line), kMaxColumns) << line;
}

// Where a tab sets a line's last part apart (a comment after a key, the
// meaning after an option, or a line of tabs continuing the one above), the
// lines of a run of such lines start that part in one column.
TEST(UsageTextTest, TabbedColumnsAlignInEveryRunOfLines) {
  std::vector<std::string> run;
  size_t run_column = 0;
  for (const std::string& line : Lines(UsageText())) {
    const size_t text_start = line.find_first_not_of('\t');
    const size_t last_tab = line.rfind('\t');
    const bool has_column = text_start != std::string::npos && last_tab != std::string::npos &&
                            (last_tab > text_start || text_start > 1);
    if (!has_column) {
      run.clear();
      continue;
    }
    const size_t column = Columns(line.substr(0, last_tab + 1));
    if (!run.empty()) {
      EXPECT_EQ(run_column, column) << "\"" << line << "\" after \"" << run.back() << "\"";
    }
    run_column = column;
    run.push_back(line);
  }
}

TEST(UsageTextTest, PartsInTheirOrder) {
  const std::string text = UsageText();
  size_t at = 0;
  for (const char* part : {"Handbuch",
                           "Aufrufparameter:",
                           "/INI=",
                           "/User=",
                           "/Server=",
                           "/CD",
                           "/ENV=",
                           "/PRUEFEN",
                           "Pruefbericht.htm",
                           "Pruefbericht.txt",
                           "2 = Fehler",
                           "Beispiel:",
                           "Einsatz bei der Anmeldung:",
                           "Sichtbar=0",
                           "/PARAM=",
                           "Aufbau der Datei Pagetrix.ini:",
                           "Sichtbar=",
                           "LoeschStd=",
                           "[StartProg]",
                           "[StartVorlage]",
                           "[Protokolldatei]",
                           "[Rechte]",
                           "[Server]",
                           "[Nicht_Kopieren]",
                           "[Kopieren]",
                           "Aufbau einer Umgebungsdatei:",
                           "[ENVIRONMENT]",
                           "%StartLW%",
                           "[ENVIRONMENT_REMOVABLE]",
                           "[ENVIRONMENT_FIXED]",
                           "[ENVIRONMENT_REMOTE]",
                           "[ENVIRONMENT_CDROM]",
                           "[ENVIRONMENT_RAMDISK]",
                           "Strg-Taste",
                           "Aufbau einer INI-Datei zum Ersetzen der Platzhalter:",
                           "[VORLAGE]",
                           "Verzeichnis=",
                           "Vorlage=",
                           "Sound=",
                           "FontTabelle=",
                           "FontUeberschrift=",
                           "Ueberschrift=",
                           "Border=",
                           "SpaltenBreite1=",
                           "TreeMenu=1",
                           "00000001",
                           "00000002",
                           "00000004",
                           "#",
                           "Platzhalter:",
                           "[Seiten]",
                           "[FrameSet]",
                           "Name=",
                           "FrameLinks=",
                           "FrameRechts=",
                           "BreiteLinks=",
                           "Titel=",
                           "Windows-1252",
                           "%PagetrixAusgabePath%",
                           "%StartServer%",
                           "%Word.Application%",
                           "%Publisher.Application%"}) {
    size_t found = text.find(part, at);
    ASSERT_NE(std::string::npos, found) << part << " missing or out of order";
    at = found;
  }
}

TEST(UsageTextTest, RunLogExampleIsAPathThatIsUsedAsWritten) {
  // The run log's name is never expanded: a %...% in the example would
  // name a file that is never written.
  const std::string text = UsageText();
  size_t section = text.find("\t[Protokolldatei]\r\n");
  ASSERT_NE(std::string::npos, section);
  size_t name = text.find("\tName=", section);
  ASSERT_NE(std::string::npos, name);
  std::string value = text.substr(name + 6, text.find("\r\n", name) - name - 6);
  EXPECT_EQ(std::string::npos, value.find('%')) << value;
  EXPECT_EQ(':', value[1]) << value;
}

}  // namespace
