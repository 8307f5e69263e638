/// The message catalogue: ids and texts of the program's numbered messages.
#ifndef PAGETRIX_BASE_MESSAGE_CATALOGUE_H_
#define PAGETRIX_BASE_MESSAGE_CATALOGUE_H_

enum MessageId {
#define MSG(id, symbol, text) symbol = id,
#include "base/messages.def"
#undef MSG
};

/// The catalogue text of a message as compiled into the program (the same
/// bytes as the string resource); empty for an unknown id.
const char* CatalogueText(int id);

#endif  // PAGETRIX_BASE_MESSAGE_CATALOGUE_H_
