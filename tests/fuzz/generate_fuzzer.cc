// A whole generation on a fuzzed command file and template: it must end,
// write nothing outside its temporary folder and keep its output bounded.
//
// The input is the command file, a NUL byte, the template. The command file
// gets a [Vorlage] naming the template in front, so that pages are made.
// Separators are replaced, and the environment holds only TMPDIR, so that
// nothing outside the case folder can be named.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"
#include "fuzz_case.h"
#include "gen/gen_html.h"
#include "gen/link_entry.h"

namespace {

namespace fs = std::filesystem;
using fuzz_case::Root;
using fuzz_case::WriteFile;

std::uintmax_t TreeBytes(const fs::path& folder) {
  std::uintmax_t total = 0;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file(error)) total += it->file_size(error);
  }
  return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  for (char& c : input) {
    if (c == '/' || c == '\\') c = '_';
  }
  size_t split = input.find('\0');
  std::string commands = "[Vorlage]\r\nVorlage=vorlage.htm\r\n" + input.substr(0, split);
  std::string page = split == std::string::npos ? std::string() : input.substr(split + 1);

  const fs::path folder = fs::path(Root()) / "case";
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder / "temp");
  WriteFile(folder / "start.ini", commands);
  WriteFile(folder / "vorlage.htm", page);
  ::setenv("TMPDIR", (folder / "temp").c_str(), 1);
  // Relative paths of the run resolve in the case folder; the fuzzer's own
  // (its corpus) in the folder it was started in.
  static const fs::path started_in = fs::current_path();
  if (::chdir(folder.c_str()) != 0) std::abort();

  std::string start_page;
  {
    RunLog log{SystemPlatform()};  // off: no path
    CIniFile main_config;
    const LinkFilter filter;
    RightsReport report;
    CGenHtml generator(SystemPlatform(), log, main_config, filter, report);
    generator.InitOutputDirectory();
    generator.Generate((folder / "start.ini").string(), start_page);
  }
  // Every line of the template may get each section's table once.
  const std::uintmax_t bound = (page.size() + 2) * (1000 * (commands.size() + 200));
  if (TreeBytes(folder / "temp") > bound) std::abort();
  // Only the inputs and the temporary folder are in the case folder.
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "temp" && name != "start.ini" && name != "vorlage.htm") std::abort();
  }
  if (::chdir(started_in.c_str()) != 0) std::abort();
  fs::remove_all(folder, error);
  return 0;
}
