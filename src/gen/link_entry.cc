#include "gen/link_entry.h"

#include "base/text.h"
#include "config/environment.h"
#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "platform/messages.h"

namespace {

constexpr std::uint32_t kHighBits = 0xFFFF0000;
constexpr std::uint32_t kLowBits = 0x0000FFFF;

}  // namespace

bool IsSettingKey(std::string_view key) {
  static const char* const kSettings[] = {"Ueberschrift", "FontTabelle",    "FontUeberschrift",
                                          "Border",       "SpaltenBreite1", "TreeMenu"};
  for (const char* setting : kSettings) {
    if (EqualsNoCaseAscii(key, setting)) return true;
  }
  return false;
}

bool IsLinkAllowed(const LinkFilter& filter, std::uint32_t rights, std::uint32_t flags) {
  if ((flags & kLinkNotFromCd) != 0 && filter.start_drive_type == DriveType::kCdRom) return false;
  // Only the high half of the server flags prohibits links.
  if ((flags & filter.server_flags & kHighBits) != 0) return false;
  // The user's high half holds the groups the user is barred from.
  std::uint32_t common = rights & filter.rights_flags;
  if ((common & kHighBits) != 0) return false;
  // A link naming no allowed group is open to everybody.
  if ((rights & kLowBits) != 0) return (common & kLowBits) != 0;
  return true;
}

bool CGenHtml::IsLinkAllowed(std::uint32_t rights, std::uint32_t flags) const {
  return ::IsLinkAllowed(filter_, rights, flags);
}

bool CGenHtml::ProcessLinkEntry(const CIniFile& commands, const std::string& value,
                                LinkEntry& entry) {
  std::string fields[6];
  for (int n = 0; n < 6; ++n) GetField(fields[n], value, n + 1, '|');
  std::string& rights = fields[4];
  std::string& flags = fields[5];
  Expand(rights);
  Expand(flags);

  if (log_.IsEnabled()) {
    // Hidden entries are reported too: the report is for checking the setup.
    if (!rights.empty()) rights_report_.AddRow(rights, value, commands.GetFileName());
    Log(Message(IDS_LINK_PROCESSING, value));
  }
  entry.rights = ParseHex(rights);
  entry.flags = ParseHex(flags);
  if (!IsLinkAllowed(entry.rights, entry.flags)) {
    Log(Message(IDS_LINK_DENIED, value));
    return false;
  }
  // Hidden entries are not expanded, so they log no unresolved references.
  for (int n = 0; n < 4; ++n) Expand(fields[n]);
  entry.text = std::move(fields[0]);
  entry.link = std::move(fields[1]);
  entry.description = std::move(fields[2]);
  entry.tooltip = std::move(fields[3]);
  return true;
}

size_t CountIndent(const std::string& text) {
  size_t n = 0;
  while (n < text.size() && text[n] == '#') ++n;
  return n;
}
