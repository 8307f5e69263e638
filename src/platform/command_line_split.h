/// Splitting and quoting of command lines by the Windows argument rules.
#ifndef PAGETRIX_PLATFORM_COMMAND_LINE_SPLIT_H_
#define PAGETRIX_PLATFORM_COMMAND_LINE_SPLIT_H_

#include <string>
#include <vector>

/// Splits a text into arguments the way the C runtime of Windows builds
/// argv: blanks and tabs separate; quotes group and are dropped; 2n
/// backslashes before a quote give n backslashes, 2n+1 give n and a literal
/// quote; other backslashes are literal; "" inside quotes is one quote.
std::vector<std::string> SplitWindowsCommandLine(const std::string& text);

/// Splits off the program name of a full command line the way the system
/// finds it (a quoted name runs to the closing quote, otherwise to the first
/// blank or tab; no backslash rules). `arguments` gets the rest with its
/// leading blanks and tabs removed. Returns the name without quotes.
std::string SplitProgramName(const std::string& command_line, std::string* arguments);

/// Quotes one argument so that SplitWindowsCommandLine gives it back;
/// arguments without blanks, tabs or quotes (and not empty) stay as they are.
std::string QuoteWindowsArgument(const std::string& argument);

#endif  // PAGETRIX_PLATFORM_COMMAND_LINE_SPLIT_H_
