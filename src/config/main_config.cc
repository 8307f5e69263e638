#include "config/main_config.h"

#include "fs/util.h"
#include "platform/platform.h"

std::string LocateMainConfiguration(Platform& platform) {
  CUtil parts;
  parts.SplitPathLocal(platform.GetProgramPath());
  const std::string& base = parts.file_name;

  std::string folder, value;
  if (platform.GetEnvVar("U3_APP_DATA_PATH", &value) && !value.empty()) {
    folder = value;
  } else if (platform.GetEnvVar("APPDATA", &value) && !value.empty()) {
    folder = value + kPathSeparator + base;
  }
  if (folder.empty()) return base + ".INI";
  // A single level only; an existing folder is fine.
  platform.CreateFolder(folder);
  return folder + kPathSeparator + base + ".ini";
}
