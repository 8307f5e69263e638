// The check's walk against a real run, on a fuzzed configuration: Generate
// over the dry-run layer with an observer, then Generate for real, and both
// must agree on the result, the start page, the output folder's files and
// their bytes, and the link entries each page shows.
//
// The input is split at NUL bytes into: a flags byte (rights, server flags,
// start drive, copy list), the main configuration's extra lines, the start
// command file, two page command files and two templates (one in the
// template folder t, one beside the command files). Separators are taken
// out of every part, and "%" out of the main configuration, so that nothing
// a run writes can lie outside the case folder: relative names resolve
// there, and the copy list that writes into the output folder is fixed.
//
// Each link entry line of a placeholder section gets a token at the start
// of its value: bytes 01..03, which are taken out of the input, so that no section
// name can reach into a token. The observer's shown entries, by the page
// write that holds them, must be the tokens the real page holds.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/text.h"
#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"
#include "fuzz_case.h"
#include "gen/gen_html.h"
#include "gen/gen_observer.h"
#include "gen/link_entry.h"
#include "gen/output_folder.h"
#include "platform/dry_run.h"
#include "platform/file_reading.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;
using fuzz_case::Root;
using fuzz_case::WriteFile;

constexpr char kTokenEdge = '\x01';
constexpr size_t kTokenBits = 10;
constexpr size_t kTokenSize = kTokenBits + 2;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Token(size_t n) {
  std::string token(1, kTokenEdge);
  for (size_t bit = 0; bit < kTokenBits; ++bit) token += (n >> bit) & 1 ? '\x03' : '\x02';
  return token + kTokenEdge;
}

// The tokens in `bytes`, counted.
std::map<std::string, int> Tokens(std::string_view bytes) {
  std::map<std::string, int> counts;
  for (size_t at = bytes.find(kTokenEdge); at != std::string_view::npos;
       at = bytes.find(kTokenEdge, at + 1)) {
    if (at + kTokenSize > bytes.size() || bytes[at + kTokenSize - 1] != kTokenEdge) continue;
    bool token = true;
    for (size_t i = 1; i + 1 < kTokenSize; ++i)
      token = token && (bytes[at + i] == '\x02' || bytes[at + i] == '\x03');
    if (!token) continue;
    ++counts[std::string(bytes.substr(at, kTokenSize))];
    at += kTokenSize - 1;
  }
  return counts;
}

// A part of the input with what could leave the case folder taken out.
std::string Clean(std::string_view part, bool percent) {
  std::string out;
  for (char c : part) {
    if (c == '/' || c == '\\' || (c >= '\x01' && c <= '\x03') || (percent && c == '%')) continue;
    out += c;
  }
  return out;
}

// A token at the start of the value of every key line of a placeholder
// section, as near as a line-by-line look tells them.
std::string WithTokens(const std::string& text, size_t& next) {
  std::string out;
  bool placeholder = false;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(begin, end - begin);
    size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '[') {
      const std::string name = line.substr(first + 1, line.find(']') - first - 1);
      placeholder = !EqualsNoCaseAscii(name, "Vorlage") && !EqualsNoCaseAscii(name, "Seiten") &&
                    !EqualsNoCaseAscii(name, "FrameSet");
    } else if (placeholder && line.find('=') != std::string::npos) {
      const size_t equals = line.find('=');
      std::string key = line.substr(0, equals);
      key.erase(0, key.find_first_not_of(" \t"));
      key.erase(key.find_last_not_of(" \t") + 1);
      // Settings keep their values: a token would change what they say.
      if (!IsSettingKey(key)) line.insert(equals + 1, Token(next++));
    }
    out += line;
    begin = end;
  }
  return out;
}

// What the walk tells, kept per page write: the tokens of the entries it
// showed, and which page writes are still in their files.
class Listener final : public GenObserver {
 public:
  explicit Listener(DryRunPlatform& dry) : dry_(dry) {}

  void OnTemplate(const CIniFile& /*commands*/, const std::string& template_file,
                  const std::string& /*template_directory*/, const std::string& output_file,
                  bool /*sound*/) override {
    writes_before_ = dry_.Writes(output_file);
    filling_.clear();
    // A template that holds tokens itself (a command file, an earlier
    // page) shows them too: that page is compared by its bytes only.
    std::string bytes;
    template_tokens_ =
        ReadFileToString(dry_, template_file, &bytes) == ReadResult::kOk && !Tokens(bytes).empty();
  }

  void OnLinkEntry(const LinkEvent& event) override {
    if (event.verdict != LinkVerdict::kShown) return;
    const std::map<std::string, int> tokens = Tokens(event.value);
    if (tokens.size() == 1) ++filling_[tokens.begin()->first];
  }

  void OnPage(const CIniFile& /*commands*/, const std::string& output_file,
              GenResult /*result*/) override {
    if (dry_.Writes(output_file) == writes_before_) return;
    Forget(output_file);
    pages_.push_back(Page{output_file, filling_, template_tokens_});
  }

  void OnCopy(const CopyEvent& event) override {
    if (event.phase == CopyPhase::kCopyList && event.result == CopyResult::kCopied)
      Forget(std::string(event.target));
  }

  struct Page {
    std::string path;
    std::map<std::string, int> shown;
    bool template_tokens = false;
  };
  const std::vector<Page>& pages() const { return pages_; }

 private:
  void Forget(const std::string& path) {
    for (auto at = pages_.begin(); at != pages_.end();) {
      if (DryRunPlatform::FileKey(at->path) == DryRunPlatform::FileKey(path)) {
        at = pages_.erase(at);
      } else {
        ++at;
      }
    }
  }

  DryRunPlatform& dry_;
  int writes_before_ = 0;
  bool template_tokens_ = false;
  std::map<std::string, int> filling_;
  std::vector<Page> pages_;
};

// Every file and folder below `root` with its size: what a walk must leave alone.
std::string Tree(const fs::path& root) {
  std::vector<std::string> items;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const std::string name = it->path().string();
    items.push_back(it->is_regular_file(error) ? name + " " + std::to_string(it->file_size(error))
                                               : name);
  }
  std::sort(items.begin(), items.end());
  std::string out;
  for (const std::string& item : items) out += item + "\n";
  return out;
}

std::string NameIn(const std::string& folder, const std::string& path) {
  const std::string prefix = folder + kPathSeparator;
  return path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : path;
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

[[noreturn]] void Disagree(const char* what, const std::string& dry, const std::string& real) {
  std::fprintf(stderr, "dry run and real run disagree on %s:\n  dry:  %s\n  real: %s\n", what,
               dry.c_str(), real.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::uint8_t flags = data[0];
  std::vector<std::string> parts;
  for (size_t begin = 0;;) {
    size_t end = input.find('\0', begin);
    parts.push_back(
        input.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
    if (end == std::string::npos || parts.size() == 6) break;
    begin = end + 1;
  }
  parts.resize(6);
  size_t next_token = 0;
  static const char* const kRights[] = {"", "00000001", "00010002", "00000003"};
  static const char* const kServers[] = {"", "00010000", "00020000", "00030000"};
  std::string main = "[Pagetrix]\r\nSichtbar=0\r\n" + Clean(parts[0], /*percent=*/true);
  if (flags & 0x80) {
    main +=
        "\r\n[Kopieren]\r\n90=t/bild.gif|%PagetrixAusgabePath%/kopie.gif\r\n"
        "91=t/fehlt.gif|%PagetrixAusgabePath%/f.gif\r\n"
        "92=t/bild.gif|%PagetrixAusgabePath%/seite.htm\r\n";
  }

  const fs::path folder = fs::path(Root()) / "case";
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder / "temp");
  fs::create_directories(folder / "t" / "unter");
  WriteFile(folder / "Pagetrix.ini", main);
  WriteFile(folder / "start.ini", WithTokens(Clean(parts[1], false), next_token));
  WriteFile(folder / "p1.ini", WithTokens(Clean(parts[2], false), next_token));
  WriteFile(folder / "p2.ini", WithTokens(Clean(parts[3], false), next_token));
  WriteFile(folder / "t" / "a.htm", Clean(parts[4], false));
  WriteFile(folder / "b.htm", Clean(parts[5], false));
  WriteFile(folder / "t" / "bild.gif", "GIF89a");
  WriteFile(folder / "t" / "unter" / "x.gif", "GIF89a");
  ::setenv("TMPDIR", (folder / "temp").c_str(), 1);
  static const fs::path started_in = fs::current_path();
  if (::chdir(folder.c_str()) != 0) std::abort();

  CIniFile main_config;
  Platform& real = SystemPlatform();
  main_config.Load(real, (folder / "Pagetrix.ini").string());
  LinkFilter filter;
  filter.rights_flags = ParseHex(kRights[flags & 3]);
  filter.server_flags = ParseHex(kServers[(flags >> 2) & 3]);
  filter.start_drive_type = flags & 0x10 ? DriveType::kCdRom : DriveType::kFixed;
  const std::string command_file = (folder / "start.ini").string();

  // The walk first: it changes nothing, so the real run meets what it met.
  const std::string before = Tree(folder);
  DryRunReads reads;
  DryRunPlatform dry(real, reads);
  Listener listener(dry);
  OutputFolder dry_folder(dry);
  GenResult dry_result;
  std::string dry_start;
  {
    RunLog log{dry};
    RightsReport report;
    CGenHtml generator(dry, log, main_config, filter, report, dry_folder, &listener);
    generator.InitOutputDirectory();
    dry_result = generator.Generate(command_file, dry_start);
    dry_folder.ReleaseLock();
  }
  if (Tree(folder) != before) Disagree("what is on disk after the walk", before, Tree(folder));

  OutputFolder real_folder(real);
  GenResult real_result;
  std::string real_start;
  {
    RunLog log{real};
    RightsReport report;
    CGenHtml generator(real, log, main_config, filter, report, real_folder, nullptr);
    generator.InitOutputDirectory();
    real_result = generator.Generate(command_file, real_start);
    real_folder.ReleaseLock();
  }

  if (dry_result != real_result)
    Disagree("the result", std::to_string(static_cast<int>(dry_result)),
             std::to_string(static_cast<int>(real_result)));
  if (dry_start.empty() != real_start.empty() ||
      NameIn(dry_folder.path(), dry_start) != NameIn(real_folder.path(), real_start))
    Disagree("the start page", dry_start, real_start);

  std::vector<std::string> real_files;
  for (const auto& entry : fs::directory_iterator(real_folder.path(), error)) {
    if (entry.is_regular_file()) real_files.push_back(entry.path().filename().string());
  }
  std::sort(real_files.begin(), real_files.end());
  const std::vector<std::string> dry_files = dry.FilesIn(dry_folder.path());
  std::string dry_list, real_list;
  for (const std::string& name : dry_files) dry_list += name + " ";
  for (const std::string& name : real_files) real_list += name + " ";
  if (dry_list != real_list) Disagree("the output folder's files", dry_list, real_list);

  // Every file as the walk left it, the folder's own path aside.
  for (const std::string& name : real_files) {
    std::string dry_bytes;
    const bool kept = ReadFileToString(dry, dry_folder.path() + kPathSeparator + name,
                                       &dry_bytes) == ReadResult::kOk;
    if (!kept) continue;  // beyond what the walk keeps of a written file
    Replace(dry_bytes, dry_folder.path(), real_folder.path());
    if (dry_bytes != ReadFile(fs::path(real_folder.path()) / name))
      Disagree("the bytes of", name, name);
  }
  // The entries each page shows, as the walk told them.
  for (const Listener::Page& page : listener.pages()) {
    if (page.template_tokens) continue;
    const std::string name = NameIn(dry_folder.path(), page.path);
    const std::map<std::string, int> held = Tokens(ReadFile(fs::path(real_folder.path()) / name));
    if (held != page.shown)
      Disagree("the entries of", name + " (" + std::to_string(page.shown.size()) + " told)",
               std::to_string(held.size()) + " held");
  }

  if (::chdir(started_in.c_str()) != 0) std::abort();
  fs::remove_all(folder, error);
  return 0;
}
