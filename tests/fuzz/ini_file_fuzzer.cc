// Feeds arbitrary bytes to the INI reader and checks what must always hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CIniFile ini;
  int code = ini.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size));
  if (code != 0 && code != 4) std::abort();
  std::string name, key, value;
  for (int i = 0; i < ini.GetSectionCount(); ++i) {
    int keys = ini.GetSection(i, name);
    for (int k = 0; k < keys; ++k) {
      if (!ini.GetEntry(name, k, key, value)) std::abort();
      // Every stored line came from one piece of at most 1022 bytes.
      if (key.size() + value.size() > 1022) std::abort();
    }
  }
  return 0;
}
