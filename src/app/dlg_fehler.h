/// The result window of a run that made no start page: the message the run
/// log got, and a button that opens the run log.
#ifndef PAGETRIX_APP_DLG_FEHLER_H_
#define PAGETRIX_APP_DLG_FEHLER_H_

#include <string>

#include "platform/dialog.h"

class CDlgFehler : public CDialog {
 public:
  CDlgFehler();

  bool OnInitDialog() override;
  bool OnCommand(int id) override;
  /// The text followed by a line end.
  std::string ConsoleText() const override;

  /// Set by the caller before the window is shown.
  std::string text;
  /// The run log's path; empty when the run has none.
  std::string log_path;

 private:
  IconHandle icon_;
};

/// The window's text: the message, its line feeds as the edit control needs
/// them, and where to look further.
std::string FailureText(const std::string& message, int result, const std::string& log_path,
                        const std::string& profile_path);

#endif  // PAGETRIX_APP_DLG_FEHLER_H_
