#include <sys/stat.h>

#include "support/special_files.h"
#include "support/temp_dir.h"

std::vector<std::string> SpecialFiles(const TempDir& dir) {
  std::vector<std::string> files = {"/dev/null", "/dev/zero", "/dev/tty"};
  if (::mkfifo(dir.Path("pipe").c_str(), 0600) == 0) files.push_back(dir.Path("pipe"));
  return files;
}
