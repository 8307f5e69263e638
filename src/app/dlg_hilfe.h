/// The help window: the usage text in a read-only field.
#ifndef PAGETRIX_APP_DLG_HILFE_H_
#define PAGETRIX_APP_DLG_HILFE_H_

#include <string>

#include "platform/dialog.h"

class CDlgHilfe : public CDialog {
 public:
  CDlgHilfe();

  bool OnInitDialog() override;
  void DoDataExchange(bool save_and_validate) override;
  bool OnPaint() override;
  /// The text followed by a line end.
  std::string ConsoleText() const override;

  /// Set by the caller before the window is shown.
  std::string text;
  /// The read-only edit control 1001, bound by the data exchange.
  CDialogItem edit;
};

#endif  // PAGETRIX_APP_DLG_HILFE_H_
