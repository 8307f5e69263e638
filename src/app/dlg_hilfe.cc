#include "app/dlg_hilfe.h"

#include "res/resource.h"

CDlgHilfe::CDlgHilfe() : CDialog(IDD_HILFE) {}

bool CDlgHilfe::OnInitDialog() {
  CDialog::OnInitDialog();
  edit.SetText(text);
  return true;
}

void CDlgHilfe::DoDataExchange(bool save_and_validate) {
  CDialog::DoDataExchange(save_and_validate);
  edit.Bind(this, IDC_HILFE_TEXT);
}

bool CDlgHilfe::OnPaint() {
  // Focusing the field selects all of it; every paint puts the caret back
  // to the first line, so the text shows from its start with no selection.
  auto paint = BeginPaint();
  edit.SetSelection(0, 0);
  edit.ScrollCaret();
  return true;
}

std::string CDlgHilfe::ConsoleText() const { return text + "\r\n"; }
