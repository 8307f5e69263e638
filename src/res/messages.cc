#include "res/messages.h"

#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

const char* CatalogueText(int id) {
  switch (id) {
#define MSG(n, symbol, text) \
  case n:                    \
    return text;
#include "res/messages.def"
#undef MSG
    default:
      return "";
  }
}

static std::string VStringPrintf(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) return std::string();
  std::string out(static_cast<size_t>(needed), '\0');
  std::vsnprintf(out.data(), out.size() + 1, format, args);
  return out;
}

std::string StringPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = VStringPrintf(format, args);
  va_end(args);
  return out;
}

std::string LoadMessage(int id) { return GetPlatform().LoadString(id); }

std::string FormatMessageText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = VStringPrintf(format, args);
  va_end(args);
  return out;
}
