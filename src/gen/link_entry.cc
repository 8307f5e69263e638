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
  // Most keys are link numbers: no setting starts with a digit.
  if (key.empty() || (key[0] >= '0' && key[0] <= '9')) return false;
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

bool CGenHtml::ProcessLinkEntry(const CIniFile& commands, std::string_view value,
                                LinkEntry& entry) {
  // Into the entry's own strings, which keep their room from link to link.
  std::string* const fields[] = {&entry.text,    &entry.link,        &entry.description,
                                 &entry.tooltip, &entry.rights_text, &entry.flags_text};
  GetFields(value, '|', fields, 6);
  // A field holds a "%" only if the whole entry does.
  const bool expand = value.find('%') != std::string_view::npos;
  entry.has_nul = value.find('\0') != std::string_view::npos;
  if (expand) {
    Expand(entry.rights_text);
    Expand(entry.flags_text);
  }

  const bool logging = log_.IsEnabled();
  if (logging) {
    // Hidden entries are reported too: the report is for checking the setup.
    std::string whole(value);
    if (!entry.rights_text.empty())
      rights_report_.AddRow(entry.rights_text, whole, commands.GetFileName());
    Log(Message(IDS_LINK_PROCESSING, whole));
  }
  entry.rights = ParseHex(entry.rights_text);
  entry.flags = ParseHex(entry.flags_text);
  if (!IsLinkAllowed(entry.rights, entry.flags)) {
    if (logging) Log(Message(IDS_LINK_DENIED, std::string(value)));
    return false;
  }
  // Hidden entries are not expanded, so they log no unresolved references.
  if (expand) {
    Expand(entry.text);
    Expand(entry.link);
    Expand(entry.description);
    Expand(entry.tooltip);
    // An expanded value may bring a NUL byte of its own.
    for (const std::string* field : fields) entry.has_nul |= field->find('\0') != std::string::npos;
  }
  return true;
}

size_t CountIndent(const std::string& text) {
  size_t n = 0;
  while (n < text.size() && text[n] == '#') ++n;
  return n;
}
