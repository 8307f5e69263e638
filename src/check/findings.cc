#include "check/findings.h"

#include <algorithm>
#include <utility>

namespace {

const char kAfterMending[] =
    " (Das zeigt sich, sobald der Leser die abgelehnte Kommandodatei annimmt.)";

}  // namespace

void FindingList::NoteFile(const std::string& file) {
  if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
}

void FindingList::Add(Severity severity, const std::string& file, size_t line,
                      std::string_view section, std::string_view key, std::string what,
                      std::string fix, size_t walk) {
  auto [at, added] = index_.emplace(std::make_tuple(file, line, what), held_.size());
  if (added) {
    NoteFile(file);
    Held held;
    held.finding = Finding{severity, file, line, {}, {}, std::move(what), std::move(fix), {}};
    held.finding.section = section;
    held.finding.key = key;
    held_.push_back(std::move(held));
  }
  Held& held = held_[at->second];
  if (walk == kAllWalks) {
    held.every_walk = true;
  } else if (held.walks.empty() || held.walks.back() != walk) {
    held.walks.push_back(walk);
  }
}

std::vector<Finding> FindingList::Take(const std::vector<size_t>& group_of_walk,
                                       size_t group_count) {
  const std::vector<std::string>& files = files_;
  std::vector<Finding> findings;
  findings.reserve(held_.size());
  for (Held& held : held_) {
    Finding finding = std::move(held.finding);
    if (!held.every_walk && held.walks.size() == 1 && held.walks[0] == kLenientWalk)
      finding.what += kAfterMending;
    if (!held.every_walk) {
      std::vector<size_t> groups;
      for (size_t walk : held.walks) {
        if (walk < group_of_walk.size()) groups.push_back(group_of_walk[walk]);
      }
      std::sort(groups.begin(), groups.end());
      groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
      // Met by every group: it concerns every run.
      if (groups.size() < group_count) finding.groups = std::move(groups);
    }
    findings.push_back(std::move(finding));
  }
  auto rank = [&](const Finding& f) {
    return std::make_pair(std::find(files.begin(), files.end(), f.file) - files.begin(), f.line);
  };
  std::stable_sort(findings.begin(), findings.end(),
                   [&](const Finding& a, const Finding& b) { return rank(a) < rank(b); });
  held_.clear();
  index_.clear();
  files_.clear();
  return findings;
}
