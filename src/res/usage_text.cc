#include "res/usage_text.h"

// Generated at build time from usage_text.txt (see CMakeLists.txt), so the
// text file stays the one source, with its own encoding and line ends.
#include "res/usage_text.inc"

std::string UsageText() { return std::string(kUsageText, kUsageTextSize); }
