/// The program's messages from its compiled-in catalogue, filled printf-style.
#ifndef PAGETRIX_PLATFORM_MESSAGES_H_
#define PAGETRIX_PLATFORM_MESSAGES_H_

#include <string>

#include "base/message_catalogue.h"
#include "base/string_printf.h"

/// String arguments of a message may be passed as std::string.
inline const char* MessageArg(const std::string& s) { return s.c_str(); }
inline const char* MessageArg(const char* s) { return s; }
inline int MessageArg(int v) { return v; }

/// The catalogue text of a message; empty if it does not exist. The Windows
/// build's string table holds the same bytes (its test compares them).
inline std::string LoadMessage(int id) { return CatalogueText(id); }

/// The message `id` filled printf-style with `args`.
template <typename... Args>
std::string Message(int id, const Args&... args) {
  // The format is the program's own catalogue text; a message without
  // arguments still goes through printf, so that "%%" means what it says.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
  return StringPrintf(LoadMessage(id).c_str(), MessageArg(args)...);
#pragma GCC diagnostic pop
}

#endif  // PAGETRIX_PLATFORM_MESSAGES_H_
