#include <gtest/gtest.h>

#include <string>

#include "base/message_catalogue.h"

namespace {

// The bytes the catalogue must hold, written out here once more: quotes,
// line feeds, umlauts, printf directives and trailing blanks are where a
// compiler's reading of messages.def could differ from what was meant.
const struct {
  int id;
  const char* text;
} kSpelledOut[] = {
    {IDS_ABOUTBOX,
     "Inf&o \xFC"
     "ber Pagetrix..."},
    {IDS_UNRESOLVED_VARIABLE, "Die Umgebungsvariable: \"%s\" konnte nicht aufgel\xF6st werden."},
    {IDS_COMMAND_FILE_SECTION_ERROR, "Fehler in der Kommandodatei: '%s'\nin der Sektion [%s]."},
    {IDS_PAGE_FAILED,
     "Es kann keine HTML-Datei gebildet werden.\nVorlagedatei: '%s'\nAusgabedatei: '%s'\n"},
    {IDS_COPY_INCOMPLETE,
     "Es konnten nicht alle Dateien in das Ausgabeverzeichnis umkopiert werden.\nDie Anwendsung "
     "wird wahrscheinlich nicht richtig ausgef\xFChrt."},
    {IDS_DATE_FORMAT, "%d.%m.%Y %H:%M:%S"},
    {IDS_COPY_ENTRY_INCOMPLETE,
     "Logischer Fehler in der Sektion [KOPIEREN]. Es m\xFCssen Quell- und Zieldatei angegeben "
     "werden. "},
    {IDS_COPY_TEMPLATE_FILES,
     "Alle notwendigen Dateien aus den Vorlageverzeichnissen in das Ausgabeverzeichnis kopieren, "
     "jedoch keine Dateien aus der Negativliste "},
    {IDS_DELETING_DIR, "L\xF6sche Verzeichnis: %s"},
};

TEST(MessageCatalogueTest, TrickyMessagesHoldTheirExactBytes) {
  for (const auto& message : kSpelledOut) {
    EXPECT_EQ(message.text, std::string(CatalogueText(message.id))) << message.id;
  }
  EXPECT_EQ("", std::string(CatalogueText(9999)));
}

}  // namespace
