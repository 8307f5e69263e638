/// How failed expectations print the program's named results.
#ifndef PAGETRIX_TESTS_SUPPORT_PRINT_H_
#define PAGETRIX_TESTS_SUPPORT_PRINT_H_

#include <ostream>

#include "gen/gen_html.h"
#include "platform/platform.h"

inline void PrintTo(GenResult result, std::ostream* out) { *out << static_cast<int>(result); }
inline void PrintTo(ReadResult result, std::ostream* out) { *out << static_cast<int>(result); }
inline void PrintTo(PathKind kind, std::ostream* out) { *out << static_cast<int>(kind); }
inline void PrintTo(DriveType type, std::ostream* out) { *out << static_cast<unsigned>(type); }

#endif  // PAGETRIX_TESTS_SUPPORT_PRINT_H_
