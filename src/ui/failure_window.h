/// The result window of a run that made no start page: every failure
/// message of the run, where to look further, and a button that opens the
/// run log.
#ifndef PAGETRIX_UI_FAILURE_WINDOW_H_
#define PAGETRIX_UI_FAILURE_WINDOW_H_

#include <string>
#include <vector>

#include "ui/dialog.h"

class CDlgFehler : public CDialog {
 public:
  explicit CDlgFehler(WindowSystem& windows);

  bool OnInitDialog() override;
  bool OnCommand(int id) override;
  /// The heading, the messages and the advice, each followed by a line end.
  std::string ConsoleText() const override;

  // Set by the caller before the window is shown.
  std::vector<std::string> failures;  ///< the run's failure messages, in order
  int result = 0;                     ///< the generator's result code
  std::string log_path;               ///< the run log; empty when none can be opened
  std::string profile_path;           ///< the main configuration file
  std::string log_refusal;            ///< why a configured run log was not written

 private:
  IconHandle icon_;
};

/// The line above the messages.
std::string FailureHeading(int result);
/// The messages one after another, a blank line between two, their line
/// feeds as the edit control needs them.
std::string FailureList(const std::vector<std::string>& failures);
/// Where to look further: the run log, or why the configured one was not
/// written (`log_refusal`), or how to switch it on; and the check mode.
std::string FailureAdvice(const std::string& log_path, const std::string& profile_path,
                          const std::string& log_refusal = std::string());

#endif  // PAGETRIX_UI_FAILURE_WINDOW_H_
