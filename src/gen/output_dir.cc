// The generator's side of the output directory: it knows the run's main
// configuration and log and hands them to the folder code below it.
#include <string_view>

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

// A threshold is a number: "abc" or "nie" must not mean "delete everything".
bool HasLeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

}  // namespace

CGenHtml::~CGenHtml() = default;

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
  if (output_directory_.empty()) return GenResult::kNoOutputDirectory;
  Platform& platform = GetPlatform();
  // A base that is, or lies behind, another user's folder or link (in a
  // shared /tmp) is never written into: looked at before anything is made,
  // and once more when the base is there, in case it was put there meanwhile.
  std::string base = GetDirectoryPart(output_directory_);
  while (base.size() > 1 && IsPathSeparator(base.back())) base.pop_back();
  if (!platform.IsOwnPlace(base) || !CreateDirectoryPath(base) || !platform.IsOwnPlace(base) ||
      !CreateDirectoryPath(output_directory_))
    return GenResult::kNoOutputDirectory;
  lock_ = platform.LockFolder(output_directory_);
  return GenResult::kOk;
}

void CGenHtml::DeleteOldOutputDirectories() {
  std::string hours_text;
  main_config_.GetValue("Pagetrix", "LoeschStd", hours_text);
  if (!hours_text.empty() && !HasLeadingNumber(hours_text)) return;
  int threshold = hours_text.empty() ? kDefaultDeleteHours : ParseLeadingInt(hours_text);
  Platform& platform = GetPlatform();
  const std::string temp_dir = platform.GetTempDir();
  // Without a temporary folder the base would be the root of the drive.
  if (temp_dir.empty()) return;
  ::DeleteOldOutputDirectories(OutputBaseDirectory(temp_dir), threshold, platform.GetUnixTime(),
                               log_);
}

void CGenHtml::DeleteDirectoryTree(const std::string& path) { ::DeleteDirectoryTree(path); }
