#include "gen/link_entry.h"

#include "base/text.h"
#include "config/config_names.h"
#include "config/environment.h"
#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "gen/gen_observer.h"
#include "platform/messages.h"

namespace {

constexpr std::uint32_t kHighBits = 0xFFFF0000;
constexpr std::uint32_t kLowBits = 0x0000FFFF;

}  // namespace

bool IsSettingKey(std::string_view key) {
  // Most keys are link numbers: no setting starts with a digit.
  if (key.empty() || (key[0] >= '0' && key[0] <= '9')) return false;
  for (std::string_view setting : names::kSectionSettingKeys) {
    if (EqualsNoCaseAscii(key, setting)) return true;
  }
  return false;
}

LinkVerdict DecideLink(const LinkFilter& filter, std::uint32_t rights, std::uint32_t flags) {
  if ((flags & kLinkNotFromCd) != 0 && filter.start_drive_type == DriveType::kCdRom)
    return LinkVerdict::kNotFromCd;
  // Only the high half of the server flags prohibits links.
  if ((flags & filter.server_flags & kHighBits) != 0) return LinkVerdict::kServer;
  // The user's high half holds the groups the user is barred from.
  std::uint32_t common = rights & filter.rights_flags;
  if ((common & kHighBits) != 0) return LinkVerdict::kBarred;
  // A link naming no allowed group is open to everybody.
  if ((rights & kLowBits) != 0 && (common & kLowBits) == 0) return LinkVerdict::kNoGroup;
  return LinkVerdict::kShown;
}

bool CGenHtml::IsLinkAllowed(std::uint32_t rights, std::uint32_t flags) const {
  return ::IsLinkAllowed(filter_, rights, flags);
}

void SplitLinkFields(std::string_view value, std::string_view* const* fields, bool& percent,
                     bool& nul) {
  size_t pos = 0;
  size_t end = 0;
  int n = 0;
  while (n < kLinkFieldCount) {
    end = value.find('|', pos);
    if (end == std::string_view::npos) end = value.size();
    *fields[n++] = TrimCSpace(value.substr(pos, end - pos));
    if (end == value.size()) break;
    pos = end + 1;
  }
  for (; n < kLinkFieldCount; ++n) *fields[n] = std::string_view();
  const std::string_view used = value.substr(0, end);
  percent = used.find('%') != std::string_view::npos;
  nul = used.find('\0') != std::string_view::npos;
}

bool CGenHtml::ProcessLinkEntry(const CIniFile& commands, std::string_view value,
                                LinkEntry& entry) {
  std::string_view* const fields[kLinkFieldCount] = {
      &entry.text,        &entry.link,       &entry.description, &entry.tooltip,
      &entry.rights_text, &entry.flags_text, &entry.symbol};
  bool expand = false;
  SplitLinkFields(value, fields, expand, entry.has_nul);
  // Only a field with a "%" goes through the expansion, into its own string.
  const auto expand_field = [&](int n) {
    if (fields[n]->find('%') == std::string_view::npos) return;
    std::string& expanded = entry.expanded[n];
    expanded.assign(*fields[n]);
    Expand(expanded);
    *fields[n] = expanded;
    // An expanded value may bring a NUL byte of its own.
    if (expanded.find('\0') != std::string::npos) entry.has_nul = true;
  };
  if (expand) {
    expand_field(4);
    expand_field(5);
  }

  const bool logging = log_.IsEnabled();
  if (logging) {
    // Hidden entries are reported too: the report is for checking the setup.
    std::string whole(value);
    if (!entry.rights_text.empty())
      rights_report_.AddRow(std::string(entry.rights_text), whole, commands.GetFileName());
    Log(Message(IDS_LINK_PROCESSING, whole));
  }
  entry.rights = ParseHex(entry.rights_text);
  entry.flags = ParseHex(entry.flags_text);
  entry.verdict = DecideLink(filter_, entry.rights, entry.flags);
  if (entry.verdict != LinkVerdict::kShown) {
    if (logging) Log(Message(IDS_LINK_DENIED, std::string(value)));
    return false;
  }
  // Hidden entries are not expanded, so they log no unresolved references.
  if (expand) {
    for (int n : {0, 1, 2, 3, 6}) expand_field(n);
  }
  return true;
}

void CGenHtml::NotifyLink(const CIniFile& commands, std::string_view key, std::string_view value,
                          bool tree_menu) {
  if (observer_ == nullptr) return;
  LinkEvent event;
  event.commands = &commands;
  event.key = key;
  event.value = value;
  event.entry = &entry_;
  event.verdict = entry_.verdict;
  event.tree_menu = tree_menu;
  observer_->OnLinkEntry(event);
}

size_t CountIndent(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && text[n] == '#') ++n;
  return n;
}
