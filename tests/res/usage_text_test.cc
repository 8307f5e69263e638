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

// The help window's field (template 130) is 336 dialog units wide, 84
// average characters of the dialog font at 4 units each. Its vertical scroll
// bar takes about 11 units and border and margins about 3, which leaves 80;
// 5% stay free for characters wider than the average. Edit controls put a
// tab stop every 32 units, every 8 average characters.
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
  for (const std::string& line : Lines(text))
    EXPECT_LE(Columns(line), kMaxColumns) << line;
}

TEST(UsageTextTest, PartsInTheirOrder) {
  const std::string text = UsageText();
  size_t at = 0;
  for (const char* part :
       {"Handbuch", "Aufrufparameter:", "/INI=", "/User=", "/Server=", "/CD", "/ENV=",
        "/PRUEFEN", "Pruefbericht.htm", "Pruefbericht.txt", "2 = Fehler", "Beispiel:",
        "Einsatz bei der Anmeldung:", "Sichtbar=0", "/PARAM=", "Aufbau der Datei Pagetrix.ini:",
        "Sichtbar=", "LoeschStd=", "[StartProg]", "[StartVorlage]", "[Protokolldatei]",
        "[Rechte]", "[Server]", "[Nicht_Kopieren]", "[Kopieren]", "Aufbau einer Umgebungsdatei:",
        "[ENVIRONMENT]", "%StartLW%", "[ENVIRONMENT_REMOVABLE]", "[ENVIRONMENT_FIXED]",
        "[ENVIRONMENT_REMOTE]", "[ENVIRONMENT_CDROM]", "[ENVIRONMENT_RAMDISK]", "Strg-Taste",
        "Aufbau einer INI-Datei zum Ersetzen der Platzhalter:", "[VORLAGE]", "Verzeichnis=",
        "Vorlage=", "Sound=", "FontTabelle=", "FontUeberschrift=", "Ueberschrift=", "Border=",
        "SpaltenBreite1=", "TreeMenu=1", "00000001", "00000002", "00000004", "#",
        "Platzhalter:", "[Seiten]", "[FrameSet]", "Name=", "FrameLinks=", "FrameRechts=",
        "BreiteLinks=", "Titel=", "Windows-1252", "%PagetrixAusgabePath%", "%StartServer%",
        "%Word.Application%", "%Publisher.Application%"}) {
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
