#include "ui/failure_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "support/fake_window.h"

namespace {

TEST(FailureWindowTextTest, MessageLinesAndWhereToLookFurther) {
  EXPECT_EQ("Es wurde keine Startseite erzeugt (Ergebnis 5). Die Meldungen des Laufs:",
            FailureHeading(5));
  // Line feeds as the edit control needs them; the closing ones go.
  EXPECT_EQ(
      "Fehler in der Kommandodatei: 'a.ini'\r\nin der Sektion [Seiten].\r\n\r\n"
      "Es kann keine HTML-Datei gebildet werden.\r\nVorlagedatei: 'v'",
      FailureList({"Fehler in der Kommandodatei: 'a.ini'\nin der Sektion [Seiten].",
                   "Es kann keine HTML-Datei gebildet werden.\r\nVorlagedatei: 'v'\n"}));
  EXPECT_EQ("", FailureList({}));
  EXPECT_EQ(
      "Laufprotokoll: C:\\Temp\\lauf.log\r\n"
      "Pagetrix.exe /PRUEFEN zeigt, was an der Konfiguration nicht stimmt.",
      FailureAdvice("C:\\Temp\\lauf.log", "C:\\P.ini"));
  EXPECT_EQ(
      "Ein Laufprotokoll schreibt Pagetrix, wenn in C:\\P.ini unter [Protokolldatei] "
      "Name= ein Pfad steht.\r\n"
      "Pagetrix.exe /PRUEFEN zeigt, was an der Konfiguration nicht stimmt.",
      FailureAdvice("", "C:\\P.ini"));
}

TEST(FailureWindowTest, FillsItsFieldsAndGreysTheButtonWithoutALog) {
  for (const char* log_path : {"C:\\Temp\\lauf.log", ""}) {
    FakeWindow<CDlgFehler> dialog;
    dialog.failures = {"eins", "zwei\ndrei"};
    dialog.result = 1;
    dialog.log_path = log_path;
    dialog.profile_path = "C:\\P.ini";
    EXPECT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(FailureHeading(1), dialog.state.item_texts[IDC_FEHLER_KOPF]);
    EXPECT_EQ("eins\r\n\r\nzwei\r\ndrei", dialog.state.item_texts[IDC_FEHLER_TEXT]);
    EXPECT_EQ(FailureAdvice(log_path, "C:\\P.ini"), dialog.state.item_texts[IDC_FEHLER_HILFE]);
    EXPECT_EQ(*log_path != '\0', dialog.state.enabled[IDC_PROTOKOLL]) << log_path;
  }
}

TEST(FailureWindowTest, ButtonOpensTheRunLog) {
  FakeWindow<CDlgFehler> dialog;
  dialog.log_path = "C:\\Temp\\lauf.log";
  EXPECT_FALSE(dialog.OnCommand(IDC_HILFE_TEXT));
  EXPECT_TRUE(dialog.windows.opened_documents.empty());
  EXPECT_TRUE(dialog.OnCommand(IDC_PROTOKOLL));
  EXPECT_EQ(std::vector<std::string>{"C:\\Temp\\lauf.log"}, dialog.windows.opened_documents);
}

}  // namespace
