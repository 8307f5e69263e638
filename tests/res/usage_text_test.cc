#include "res/usage_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

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

TEST(UsageTextTest, WindowsTextWithCrLfLines) {
  std::string text = UsageText();
  ASSERT_FALSE(text.empty());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      EXPECT_EQ('\n', text[i + 1]) << "at " << i;
    } else if (text[i] == '\n') {
      EXPECT_EQ('\r', text[i - 1]) << "at " << i;
    }
  }
  EXPECT_NE(std::string::npos, text.find('\t'));
  EXPECT_NE(std::string::npos, text.find("Gro\xDF- und Kleinschreibung"));
  EXPECT_EQ(std::string::npos, text.find('\xC3')) << "UTF-8 instead of Windows-1252";
}

TEST(UsageTextTest, PartsInTheirOrder) {
  std::string text = UsageText();
  size_t at = 0;
  for (const char* part :
       {"Aufrufparameter:", "/INI=", "/User=", "/Server=", "/ENV=", "Beispiel:",
        "Aufbau der Datei Pagetrix.ini:", "Sichtbar=", "LoeschStd=", "[StartProg]",
        "[StartVorlage]", "[Protokolldatei]", "[Rechte]", "[Server]",
        "Aufbau einer Umgebungsdatei:", "[ENVIRONMENT]", "%StartLW%", "[ENVIRONMENT_REMOVABLE]",
        "[ENVIRONMENT_FIXED]", "[ENVIRONMENT_REMOTE]", "[ENVIRONMENT_CDROM]",
        "[ENVIRONMENT_RAMDISK]", "Strg-Taste", "Aufbau einer INI-Datei zum Ersetzen der Platzhalter:",
        "[VORLAGE]", "Verzeichnis=", "Vorlage=", "FontTabelle=", "FontUeberschrift=",
        "Ueberschrift=", "00000001", "00000002", "%PagetrixAusgabePath%", "%StartServer%",
        "%Word.Application%", "%Publisher.Application%"}) {
    size_t found = text.find(part, at);
    ASSERT_NE(std::string::npos, found) << part << " missing or out of order";
    at = found;
  }
}

}  // namespace
