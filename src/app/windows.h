/// The program's windows as the run sequence shows them.
#ifndef PAGETRIX_APP_WINDOWS_H_
#define PAGETRIX_APP_WINDOWS_H_

#include <string>

/// Shows the result window with the start page path, modally.
void ShowResultWindow(const std::string& page_path);
/// Shows the help window with the usage text, modally.
void ShowHelpWindow();

#endif  // PAGETRIX_APP_WINDOWS_H_
