#include "ui/run_windows.h"

#include "res/usage_text.h"
#include "ui/failure_window.h"
#include "ui/help_window.h"
#include "ui/result_window.h"

void ShowResultWindow(WindowSystem& windows, const std::string& page_path,
                      const std::string& profile_path) {
  CPagetrixDlg dialog(windows);
  dialog.page_path = page_path;
  dialog.profile_path = profile_path;
  dialog.DoModal();
}

void ShowFailureWindow(WindowSystem& windows, const std::vector<std::string>& failures, int result,
                       const std::string& log_path, const std::string& profile_path,
                       const std::string& log_refusal) {
  CDlgFehler dialog(windows);
  dialog.failures = failures;
  dialog.result = result;
  dialog.log_path = log_path;
  dialog.profile_path = profile_path;
  dialog.log_refusal = log_refusal;
  dialog.DoModal();
}

void ShowHelpWindow(WindowSystem& windows) {
  CDlgHilfe dialog(windows);
  dialog.text = UsageText();
  dialog.DoModal();
}
