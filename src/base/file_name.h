/// What may name a file of the run's own output folder.
#ifndef PAGETRIX_BASE_FILE_NAME_H_
#define PAGETRIX_BASE_FILE_NAME_H_

#include <string_view>

/// Whether the last component of a path is a reserved device name of
/// Windows (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$, in
/// any case, with or without extension): Windows opens these as devices in
/// any folder.
bool IsDeviceName(std::string_view path);

/// Whether `name` names a plain file directly inside a folder on every
/// system the program runs on: not empty; no folder separator, drive, UNC
/// or ".." part; no control character; not ending in a dot or a blank; and
/// not a device name.
bool IsPlainFileName(std::string_view name);

#endif  // PAGETRIX_BASE_FILE_NAME_H_
