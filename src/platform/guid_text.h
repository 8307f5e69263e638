/// The registry text of a random GUID.
#ifndef PAGETRIX_PLATFORM_GUID_TEXT_H_
#define PAGETRIX_PLATFORM_GUID_TEXT_H_

#include <string>

/// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case from 16 random
/// bytes, taken in the order of the digits, marked as the system marks its
/// random GUIDs (version 4, RFC 4122 variant).
std::string RandomGuidText(const unsigned char (&random)[16]);

#endif  // PAGETRIX_PLATFORM_GUID_TEXT_H_
