/// The findings of a check, each reported once however many walks meet it.
#ifndef PAGETRIX_CHECK_FINDINGS_H_
#define PAGETRIX_CHECK_FINDINGS_H_

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "check/check.h"

class FindingList {
 public:
  /// Adds a finding for the walk `walk` (or for every run, with kAllWalks);
  /// one equal in file, line and text is not added again, only joined by
  /// the walk.
  static constexpr size_t kAllWalks = static_cast<size_t>(-1);
  /// The walk that takes rejected command files as read: what it alone
  /// meets shows only once they are mended.
  static constexpr size_t kLenientWalk = static_cast<size_t>(-2);
  void Add(Severity severity, const std::string& file, size_t line, std::string_view section,
           std::string_view key, std::string what, std::string fix, size_t walk = kAllWalks);

  /// Files are reported in the order a run reads them: this one has been
  /// read now, whether or not a finding names it yet.
  void NoteFile(const std::string& file);

  /// The findings sorted by file (in the order files were first named),
  /// then by line; `walks` of each become the groups of those walks.
  std::vector<Finding> Take(const std::vector<size_t>& group_of_walk, size_t group_count);

 private:
  struct Held {
    Finding finding;
    std::vector<size_t> walks;
    bool every_walk = false;
  };
  std::vector<Held> held_;
  std::vector<std::string> files_;
  std::map<std::tuple<std::string, size_t, std::string>, size_t> index_;
};

#endif  // PAGETRIX_CHECK_FINDINGS_H_
