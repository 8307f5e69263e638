/// Message catalogue ids and the printf-style filling of its texts.
#ifndef PAGETRIX_RES_MESSAGES_H_
#define PAGETRIX_RES_MESSAGES_H_

#ifndef RC_INVOKED
#include <string>

enum MessageId {
#define MSG(id, symbol, text) symbol = id,
#include "res/messages.def"
#undef MSG
};

/// The catalogue text of a message as compiled into the program (the same
/// bytes as the string resource); empty for an unknown id.
const char* CatalogueText(int id);

/// printf-style formatting into a string of any length.
std::string StringPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/// Loads a message (string resource) and fills it printf-style; string
/// arguments may be passed as std::string.
inline const char* MessageArg(const std::string& s) { return s.c_str(); }
inline const char* MessageArg(const char* s) { return s; }
inline int MessageArg(int v) { return v; }
std::string LoadMessage(int id);
/// printf-style filling of a loaded message text.
std::string FormatMessageText(const char* format, ...);
template <typename... Args>
std::string Message(int id, const Args&... args) {
  return FormatMessageText(LoadMessage(id).c_str(), MessageArg(args)...);
}
#endif  // RC_INVOKED

#endif  // PAGETRIX_RES_MESSAGES_H_
