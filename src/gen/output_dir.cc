// The generator's side of the output directory: it knows the run's main
// configuration and log and hands them to the folder code below it.
#include "base/text.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/output_dir.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "platform/platform.h"

namespace {

const char kAusgabePathVariable[] = "PagetrixAusgabePath";
constexpr int kDefaultDeleteHours = 24;

}  // namespace

void CGenHtml::GetOutputBaseDirectory(std::string& path) const {
  path = OutputBaseDirectory(GetPlatform().GetTempDir());
}

void CGenHtml::InitOutputDirectory() {
  Platform& platform = GetPlatform();
  std::string guid = platform.CreateGuidText();
  output_directory_ = ::OutputDirectoryPath(platform.GetTempDir(), guid);
  platform.SetEnvVar(kAusgabePathVariable, output_directory_);
}

GenResult CGenHtml::CreateOutputDirectory(std::string& prefix) {
  prefix = output_directory_ + kPathSeparator;
  if (output_directory_.empty() || !CreateDirectoryPath(output_directory_))
    return GenResult::kNoOutputDirectory;
  return GenResult::kOk;
}

void CGenHtml::DeleteOldOutputDirectories() {
  std::string hours_text;
  main_config_.GetValue("Pagetrix", "LoeschStd", hours_text);
  int threshold = hours_text.empty() ? kDefaultDeleteHours : ParseLeadingInt(hours_text);
  if (threshold == kNeverDelete) return;
  Platform& platform = GetPlatform();
  const std::string temp_dir = platform.GetTempDir();
  // Without a temporary folder the base would be the root of the drive.
  if (temp_dir.empty()) return;
  ::DeleteOldOutputDirectories(OutputBaseDirectory(temp_dir), threshold, platform.GetUnixTime(),
                               log_);
}

void CGenHtml::DeleteDirectoryTree(const std::string& path) { ::DeleteDirectoryTree(path); }
