#include "gen/output_folder.h"

#include "fs/output_dir.h"
#include "fs/util.h"
#include "platform/env_block.h"
#include "platform/platform.h"

namespace {

const char kAusgabePathVariable[] = "PagetrixAusgabePath";

}  // namespace

OutputFolder::OutputFolder() = default;
OutputFolder::~OutputFolder() = default;

std::string OutputFolder::BaseDirectory() {
  return OutputBaseDirectory(GetPlatform().GetTempFolder());
}

void OutputFolder::Init() {
  Platform& platform = GetPlatform();
  // Chosen once: walks of the check that publish it again keep one folder.
  if (!chosen_) path_ = OutputDirectoryPath(platform.GetTempFolder(), platform.CreateGuidText());
  chosen_ = true;
  SetEnvVars(platform, {{kAusgabePathVariable, path_}});
}

bool OutputFolder::Create(std::string& prefix) {
  prefix = path_ + kPathSeparator;
  if (path_.empty()) return false;
  Platform& platform = GetPlatform();
  // A base that is, or lies behind, another user's folder or link (in a
  // shared /tmp) is never written into: looked at before anything is made,
  // and once more when the base is there, in case it was put there meanwhile.
  std::string base = GetDirectoryPart(path_);
  while (base.size() > 1 && IsPathSeparator(base.back())) base.pop_back();
  if (!platform.IsOwnPlace(base) || !CreateDirectoryPath(platform, base) ||
      !platform.IsOwnPlace(base) || !CreateDirectoryPath(platform, path_))
    return false;
  lock_ = platform.LockFolder(path_);
  return true;
}

void OutputFolder::ReleaseLock() { lock_.reset(); }
