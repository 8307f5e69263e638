/// The program's windows as the run sequence shows them.
#ifndef PAGETRIX_APP_WINDOWS_H_
#define PAGETRIX_APP_WINDOWS_H_

#include <string>

/// Shows the result window with the start page path, modally; its placement
/// is kept in the main configuration file `profile_path`.
void ShowResultWindow(const std::string& page_path, const std::string& profile_path);
/// Shows the result window of a run that made no start page, modally.
void ShowFailureWindow(const std::string& text, const std::string& log_path);
/// Shows the help window with the usage text, modally.
void ShowHelpWindow();

#endif  // PAGETRIX_APP_WINDOWS_H_
