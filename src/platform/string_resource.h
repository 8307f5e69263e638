/// The Windows build's string table, read back for its test: the program
/// itself takes its messages from the catalogue the table is compiled from.
#ifndef PAGETRIX_PLATFORM_STRING_RESOURCE_H_
#define PAGETRIX_PLATFORM_STRING_RESOURCE_H_

#include <string>

/// The program's string resource `id`; empty if it does not exist.
std::string StringResource(int id);

#endif  // PAGETRIX_PLATFORM_STRING_RESOURCE_H_
