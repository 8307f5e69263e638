// Saved in Windows-1252: the texts below are the window's own.
#include "ui/failure_window.h"

#include "base/string_printf.h"
#include "res/resource.h"

namespace {

// A message's line feeds as CR LF, without the line ends it closes with.
std::string EditLines(const std::string& message) {
  std::string text;
  for (char c : message) {
    if (c == '\n' && (text.empty() || text.back() != '\r')) text += '\r';
    text += c;
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

CDlgFehler::CDlgFehler(WindowSystem& windows)
    : CDialog(IDD_PAGETRIX_FEHLER, windows), icon_(windows.LoadAppIcon(IDR_MAINFRAME)) {}

bool CDlgFehler::OnInitDialog() {
  CDialog::OnInitDialog();
  window().SetItemText(IDC_FEHLER_KOPF, FailureHeading(result));
  window().SetItemText(IDC_FEHLER_TEXT, FailureList(failures));
  window().SetItemText(IDC_FEHLER_HILFE, FailureAdvice(log_path, profile_path, log_refusal));
  window().SetIcons(icon_);
  window().EnableItem(IDC_PROTOKOLL, !log_path.empty());
  window().SetForegroundWindow();
  return true;
}

bool CDlgFehler::OnCommand(int id) {
  if (id != IDC_PROTOKOLL) return false;
  window_system().OpenDocument(log_path);
  return true;
}

std::string CDlgFehler::ConsoleText() const {
  return FailureHeading(result) + "\r\n\r\n" + FailureList(failures) + "\r\n\r\n" +
         FailureAdvice(log_path, profile_path, log_refusal) + "\r\n";
}

std::string FailureHeading(int result) {
  return StringPrintf("Es wurde keine Startseite erzeugt (Ergebnis %d). Die Meldungen des Laufs:",
                      result);
}

std::string FailureList(const std::vector<std::string>& failures) {
  std::string text;
  for (const std::string& failure : failures) {
    if (!text.empty()) text += "\r\n\r\n";
    text += EditLines(failure);
  }
  return text;
}

std::string FailureAdvice(const std::string& log_path, const std::string& profile_path,
                          const std::string& log_refusal) {
  std::string text;
  if (!log_refusal.empty()) {
    text = log_refusal;
  } else if (log_path.empty()) {
    text = "Ein Laufprotokoll schreibt Pagetrix, wenn in " + profile_path +
           " unter [Protokolldatei] Name= ein Pfad steht.";
  } else {
    text = "Laufprotokoll: " + log_path;
  }
  return text + "\r\nPagetrix.exe /PRUEFEN zeigt, was an der Konfiguration nicht stimmt.";
}
