// The process on POSIX: its arguments, its environment, the processes it
// starts.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "platform/command_line_split.h"
#include "platform/env_expand.h"
#include "platform/host_platform.h"

extern char** environ;

namespace {

std::vector<std::string>& ProgramArguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

// Windows matches variable names without regard to ASCII case; an exact
// match wins, else the first entry equal without case.
const char* FindEnvironmentEntry(const std::string& name, std::string* actual_name) {
  if (name.empty() || name.find('=') != std::string::npos) return nullptr;
  if (const char* value = std::getenv(name.c_str())) {
    if (actual_name != nullptr) *actual_name = name;
    return value;
  }
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr) continue;
    if (EqualsNoCaseAscii(std::string_view(*entry, static_cast<size_t>(equals - *entry)), name)) {
      if (actual_name != nullptr) actual_name->assign(*entry, static_cast<size_t>(equals - *entry));
      return equals + 1;
    }
  }
  return nullptr;
}

}  // namespace

std::string HostPlatform::GetCommandLineText() {
  std::string text;
  for (const std::string& argument : ProgramArguments()) {
    if (!text.empty()) text.push_back(' ');
    text += QuoteWindowsArgument(argument);
  }
  return text;
}

bool HostPlatform::GetEnvVar(const std::string& name, std::string* value) {
  value->clear();
  const char* found = FindEnvironmentEntry(name, nullptr);
  if (found == nullptr) return false;
  *value = found;
  return true;
}

void HostPlatform::SetEnvironmentBlock(const std::vector<std::string>& block) {
  // Every block stays alive for the rest of the process, since later
  // setenv calls keep pointers into it.
  static std::list<std::pair<std::vector<std::string>, std::vector<char*>>> blocks;
  auto& [storage, pointers] = blocks.emplace_back();
  storage = block;
  for (std::string& entry : storage) pointers.push_back(entry.data());
  pointers.push_back(nullptr);
  environ = pointers.data();
}

std::vector<std::string> HostPlatform::GetEnvironmentBlock() {
  std::vector<std::string> block;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    block.emplace_back(*entry);
  }
  return block;
}

std::string HostPlatform::ExpandEnvVars(const std::string& text) {
  return ExpandPercentReferences(text, [](const std::string& name, std::string* value) {
    const char* found = FindEnvironmentEntry(name, nullptr);
    if (found == nullptr) return false;
    *value = found;
    return true;
  });
}

namespace {

// Children started and not yet seen to end; reaped so none stays a zombie.
std::vector<pid_t>& Children() {
  static std::vector<pid_t> children;
  return children;
}

void ReapFinishedChildren() {
  std::vector<pid_t> running;
  for (pid_t pid : Children()) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == 0) running.push_back(pid);
  }
  Children().swap(running);
}

}  // namespace

bool HostPlatform::StartProcess(const std::string& command_line, std::string* failure) {
  ReapFinishedChildren();
  std::string rest;
  std::string program = SplitProgramName(command_line, &rest);
  if (program.empty()) {
    *failure = std::strerror(ENOENT);
    return false;
  }
  std::vector<std::string> words = SplitWindowsCommandLine(rest);
  std::vector<char*> argv;
  argv.push_back(program.data());
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int result = ::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (result != 0) {
    *failure = std::strerror(result);
    return false;
  }
  // POSIX has no "ready for input"; the child just runs on.
  Children().push_back(pid);
  failure->clear();
  return true;
}

Platform& SystemPlatform() {
  static HostPlatform platform;
  return platform;
}

void InitPlatformArguments(int argc, char** argv) {
  std::vector<std::string>& arguments = ProgramArguments();
  arguments.clear();
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
}
