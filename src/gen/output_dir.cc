// The generator's side of the output directory: the folder itself is an
// OutputFolder; here the run's main configuration decides which old ones go.
#include <string_view>

#include "base/text.h"
#include "config/config_names.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/output_dir.h"
#include "gen/gen_html.h"
#include "gen/gen_observer.h"
#include "gen/output_folder.h"
#include "platform/platform.h"

namespace {

constexpr int kDefaultDeleteHours = 24;

// A threshold is a number: "abc" or "nie" must not mean "delete everything".
bool HasLeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

}  // namespace

int DeleteThresholdHours(std::string_view text, bool present) {
  if (!present || text.empty()) return kDefaultDeleteHours;
  if (!HasLeadingNumber(text)) return kNeverDelete;
  return ParseLeadingInt(text);
}

CGenHtml::~CGenHtml() = default;

void CGenHtml::GetOutputBaseDirectory(std::string& path) const { path = folder_.BaseDirectory(); }

void CGenHtml::InitOutputDirectory() { folder_.Init(); }

GenResult CGenHtml::CreateOutputDirectory(std::string& prefix) {
  return folder_.Create(prefix) ? GenResult::kOk : GenResult::kNoOutputDirectory;
}

const std::string& CGenHtml::OutputDirectoryPath() const { return folder_.path(); }

void CGenHtml::DeleteOldOutputDirectories() {
  std::string_view hours_text;
  const bool present = main_config_.FindValue(names::kPagetrix, names::kLoeschStd, hours_text);
  const int threshold = DeleteThresholdHours(hours_text, present);
  if (observer_ != nullptr) observer_->OnDeleteThreshold(hours_text, threshold);
  // Negative, of any size: every folder is kept.
  if (threshold < 0) return;
  const std::string temp_dir = platform_.GetTempFolder();
  // Without a temporary folder the base would be the root of the drive.
  if (temp_dir.empty()) return;
  ::DeleteOldOutputDirectories(platform_, OutputBaseDirectory(temp_dir), threshold,
                               platform_.GetWallClock().unix_seconds, log_);
}

void CGenHtml::DeleteDirectoryTree(const std::string& path) {
  ::DeleteDirectoryTree(platform_, path);
}
