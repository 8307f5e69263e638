#include "ui/run_windows.h"

#include "res/usage_text.h"
#include "ui/failure_window.h"
#include "ui/help_window.h"
#include "ui/result_window.h"

void ShowResultWindow(const std::string& page_path, const std::string& profile_path) {
  CPagetrixDlg dialog;
  dialog.page_path = page_path;
  dialog.profile_path = profile_path;
  dialog.DoModal();
}

void ShowFailureWindow(const std::vector<std::string>& failures, int result,
                       const std::string& log_path, const std::string& profile_path,
                       const std::string& log_refusal) {
  CDlgFehler dialog;
  dialog.failures = failures;
  dialog.result = result;
  dialog.log_path = log_path;
  dialog.profile_path = profile_path;
  dialog.log_refusal = log_refusal;
  dialog.DoModal();
}

void ShowHelpWindow() {
  CDlgHilfe dialog;
  dialog.text = UsageText();
  dialog.DoModal();
}
