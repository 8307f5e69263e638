#include "gen/output_folder.h"

#include "fs/output_dir.h"
#include "fs/util.h"
#include "platform/platform.h"

namespace {

const char kAusgabePathVariable[] = "PagetrixAusgabePath";

}  // namespace

OutputFolder::OutputFolder() = default;
OutputFolder::~OutputFolder() = default;

std::string OutputFolder::BaseDirectory() { return OutputBaseDirectory(GetPlatform().GetTempDir()); }

void OutputFolder::Init() {
  Platform& platform = GetPlatform();
  // Chosen once: walks of the check that publish it again keep one folder.
  if (!chosen_) path_ = OutputDirectoryPath(platform.GetTempDir(), platform.CreateGuidText());
  chosen_ = true;
  platform.SetEnvVar(kAusgabePathVariable, path_);
}

bool OutputFolder::Create(std::string& prefix) {
  prefix = path_ + kPathSeparator;
  if (path_.empty() || !CreateDirectoryPath(path_)) return false;
  // A base that another user made (in a shared /tmp) is never written into.
  std::string base = BaseDirectory();
  base.pop_back();
  if (GetPlatform().IsForeignFolder(base)) return false;
  lock_ = GetPlatform().LockFolder(path_);
  return true;
}

void OutputFolder::ReleaseLock() { lock_.reset(); }
