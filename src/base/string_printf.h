/// printf-style formatting into a string of any length.
#ifndef PAGETRIX_BASE_STRING_PRINTF_H_
#define PAGETRIX_BASE_STRING_PRINTF_H_

#include <string>

/// The formatted text; empty if the format cannot be applied.
std::string StringPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#endif  // PAGETRIX_BASE_STRING_PRINTF_H_
