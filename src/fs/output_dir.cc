#include <cstdint>
#include <vector>

#include "app/pagetrix_app.h"
#include "config/text.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "platform/platform.h"
#include "res/messages.h"

namespace {

const char kAusgabePathVariable[] = "PagetrixAusgabePath";
constexpr int kDefaultDeleteHours = 24;
constexpr int kNeverDelete = -1;

}  // namespace

void CGenHtml::GetOutputBaseDirectory(std::string& path) const {
  path = GetPlatform().GetTempPath();
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += "Pagetrix";
  path += kPathSeparator;
}

void CGenHtml::InitOutputDirectory() {
  std::string guid = GetPlatform().CreateGuidText();
  size_t begin = guid.find_first_not_of('{');
  size_t end = guid.find_last_not_of('}');
  output_directory_.clear();
  // Without a GUID the run would write into the folder all runs share, and
  // without a temporary folder into the root of the drive: then no output
  // directory at all, and generation reports that it cannot create one.
  if (begin != std::string::npos && end != std::string::npos && begin <= end &&
      !GetPlatform().GetTempPath().empty()) {
    GetOutputBaseDirectory(output_directory_);
    output_directory_ += guid.substr(begin, end - begin + 1);
  }
  GetPlatform().SetEnvironmentVariable(kAusgabePathVariable, output_directory_);
}

int CGenHtml::CreateOutputDirectory(std::string& prefix) {
  prefix = output_directory_ + kPathSeparator;
  if (output_directory_.empty()) return 3;
  return CreateDirectoryPath(output_directory_) ? 0 : 3;
}

void CGenHtml::DeleteOldOutputDirectories() {
  CPagetrixApp& app = TheApp();
  std::string hours_text = app.GetConfigValue("Pagetrix", "LoeschStd");
  int threshold = hours_text.empty() ? kDefaultDeleteHours : ParseLeadingInt(hours_text);
  if (threshold == kNeverDelete) return;

  // Without a temporary folder the base would be the root of the drive.
  if (GetPlatform().GetTempPath().empty()) return;
  std::string base;
  GetOutputBaseDirectory(base);
  std::int64_t now = GetPlatform().GetUnixTime();
  std::vector<std::string> directories;
  const std::string no_filter;
  CollectFiles(base, FileCollectOptions{no_filter, 1, directories, 1});
  for (const std::string& directory : directories) {
    std::int64_t created = 0;
    // Gone already when an old parent was removed earlier in this loop.
    if (!GetPlatform().GetCreationTime(directory, &created)) continue;
    // Whole hours, truncated toward zero and kept in 32 bits.
    auto age = static_cast<std::int32_t>(static_cast<std::uint32_t>((now - created) / 3600));
    if (age < threshold) continue;
    app.Log(Message(IDS_DELETING_DIR, directory));
    DeleteDirectoryTree(directory);
  }
}

void CGenHtml::DeleteDirectoryTree(const std::string& path) {
  std::vector<std::string> files;
  const std::string no_filter;
  CollectFiles(path, FileCollectOptions{no_filter, 1, files, 0});
  for (const std::string& file : files) DeleteFileAndDirectory(file);
}
