/// The usage text of the help window.
#ifndef PAGETRIX_RES_USAGE_TEXT_H_
#define PAGETRIX_RES_USAGE_TEXT_H_

#include <string>

/// The text of src/res/usage_text.txt as compiled in: Windows-1252, CR LF.
std::string UsageText();

#endif  // PAGETRIX_RES_USAGE_TEXT_H_
