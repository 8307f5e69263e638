/// Where the main configuration file is found.
#ifndef PAGETRIX_CONFIG_MAIN_CONFIG_H_
#define PAGETRIX_CONFIG_MAIN_CONFIG_H_

#include <string>

#include "platform/platform.h"

/// The profile path from U3_APP_DATA_PATH, APPDATA or the bare base name;
/// creates the chosen folder (single level, result ignored).
std::string LocateMainConfiguration(Platform& platform);

#endif  // PAGETRIX_CONFIG_MAIN_CONFIG_H_
