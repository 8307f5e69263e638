#include "gen/output_folder.h"

#include <utility>

#include "fs/output_dir.h"
#include "fs/util.h"
#include "platform/env_block.h"
#include "platform/platform.h"

namespace {

const char kAusgabePathVariable[] = "PagetrixAusgabePath";

}  // namespace

OutputFolder::OutputFolder(Platform& platform) : platform_(platform) {}

OutputFolder::OutputFolder(Platform& platform, std::string chosen)
    : platform_(platform), path_(std::move(chosen)), chosen_(true) {}

OutputFolder::~OutputFolder() = default;

std::string OutputFolder::BaseDirectory() const {
  return OutputBaseDirectory(platform_.GetTempFolder());
}

void OutputFolder::Init() {
  // Chosen once: the check publishes it again for every place it sets up,
  // and all of them stand for one folder.
  if (!chosen_) path_ = OutputDirectoryPath(platform_.GetTempFolder(), platform_.CreateGuidText());
  chosen_ = true;
  SetEnvVars(platform_, {{kAusgabePathVariable, path_}});
}

bool OutputFolder::Create(std::string& prefix) {
  prefix = path_ + kPathSeparator;
  if (path_.empty()) return false;
  // A base that is, or lies behind, another user's folder or link (in a
  // shared /tmp) is never written into: looked at before anything is made,
  // and once more when the base is there, in case it was put there meanwhile.
  std::string base = GetDirectoryPart(path_);
  while (base.size() > 1 && IsPathSeparator(base.back())) base.pop_back();
  if (!platform_.IsOwnPlace(base) || !CreateDirectoryPath(platform_, base) ||
      !platform_.IsOwnPlace(base) || !CreateDirectoryPath(platform_, path_))
    return false;
  lock_ = platform_.LockFolder(path_);
  return true;
}

void OutputFolder::ReleaseLock() { lock_.reset(); }
