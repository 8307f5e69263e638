// Saved in Windows-1252: the texts below are the window's own.
#include "app/dlg_fehler.h"

#include "base/string_printf.h"
#include "platform/platform.h"
#include "res/resource.h"

CDlgFehler::CDlgFehler() : CDialog(IDD_PAGETRIX_FEHLER), icon_(LoadAppIcon(IDR_MAINFRAME)) {}

bool CDlgFehler::OnInitDialog() {
  CDialog::OnInitDialog();
  SetItemText(IDC_FEHLER_TEXT, text);
  SetIcon(icon_, true);
  SetIcon(icon_, false);
  EnableItem(IDC_PROTOKOLL, !log_path.empty());
  SetForegroundWindow();
  return true;
}

bool CDlgFehler::OnCommand(int id) {
  if (id != IDC_PROTOKOLL) return false;
  GetPlatform().OpenDocument(log_path);
  return true;
}

std::string CDlgFehler::ConsoleText() const { return text + "\r\n"; }

std::string FailureText(const std::string& message, int result, const std::string& log_path,
                        const std::string& profile_path) {
  std::string text =
      StringPrintf("Es wurde keine Startseite erzeugt (Ergebnis %d).\r\n\r\n", result);
  for (char c : message) {
    if (c == '\n') text += '\r';
    text += c;
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  text += "\r\n\r\n";
  if (log_path.empty()) {
    text += "Ein Laufprotokoll schreibt Pagetrix, wenn in " + profile_path +
            " unter [Protokolldatei] Name= ein Pfad steht.";
  } else {
    text += "Laufprotokoll: " + log_path;
  }
  text += "\r\nPagetrix.exe /PRUEFEN zeigt, was an der Konfiguration nicht stimmt.";
  return text;
}
