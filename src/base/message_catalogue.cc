#include "base/message_catalogue.h"

const char* CatalogueText(int id) {
  switch (id) {
#define MSG(n, symbol, text) \
  case n:                    \
    return text;
#include "base/messages.def"
#undef MSG
    default:
      return "";
  }
}
