/// Helpers shared by every part of the run: %NAME% expansion and logged file copies.
#ifndef PAGETRIX_APP_HELPERS_H_
#define PAGETRIX_APP_HELPERS_H_

#include <string>

/// Expands %NAME% references in place against the process environment; logs
/// message 103 when a "%" is left. Empty values and values without "%" stay.
void ExpandEnvironment(std::string& value);
/// Copies a file with messages 224, 212 and 207; returns 0 or 4.
int CopyFileLogged(const std::string& from, const std::string& to, bool fail_if_exists);

#endif  // PAGETRIX_APP_HELPERS_H_
