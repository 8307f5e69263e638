/// The program's windows as the run sequence shows them.
#ifndef PAGETRIX_UI_RUN_WINDOWS_H_
#define PAGETRIX_UI_RUN_WINDOWS_H_

#include <string>
#include <vector>

#include "platform/window_system.h"

/// Shows the result window with the start page path, modally; its placement
/// is kept in the main configuration file `profile_path`.
void ShowResultWindow(WindowSystem& windows, const std::string& page_path,
                      const std::string& profile_path);
/// Shows the result window of a run that made no start page, modally: its
/// failure messages, its result code, and the run log (`log_path`, empty
/// when there is none to open), why the configured one was not written
/// (`log_refusal`), or how to switch it on in `profile_path`.
void ShowFailureWindow(WindowSystem& windows, const std::vector<std::string>& failures, int result,
                       const std::string& log_path, const std::string& profile_path,
                       const std::string& log_refusal = std::string());
/// Shows the help window with the usage text, modally.
void ShowHelpWindow(WindowSystem& windows);

#endif  // PAGETRIX_UI_RUN_WINDOWS_H_
