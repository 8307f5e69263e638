/// One link entry of a placeholder section: its fields and whether the user may see it.
#ifndef PAGETRIX_GEN_LINK_ENTRY_H_
#define PAGETRIX_GEN_LINK_ENTRY_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

/// Flag bits of a link entry.
inline constexpr std::uint32_t kLinkNewWindow = 0x00000001;
inline constexpr std::uint32_t kLinkNotFromCd = 0x00000002;
inline constexpr std::uint32_t kLinkTreeFlag = 0x00000004;

/// Whether a link is shown, and which rule hides it.
enum class LinkVerdict {
  kShown,
  kNotFromCd,  ///< flag "not from CD" and the run starts from a CD-ROM drive
  kServer,     ///< a server prohibition bit the server's flags name
  kBarred,     ///< a group the user is barred from
  kNoGroup,    ///< the link names groups, the user belongs to none of them
};

/// The fields of a link entry that a writer formats. They refer to the
/// command file's text, or to `expanded` for a field that names a variable:
/// valid until the next entry is processed into the same object.
struct LinkEntry {
  std::string_view text;  ///< Linktext, indent characters included
  std::string_view link;
  std::string_view description;
  std::string_view tooltip;
  std::uint32_t rights = 0;
  std::uint32_t flags = 0;
  std::string_view rights_text;  ///< Rechte and Flags as read, expanded
  std::string_view flags_text;
  std::string_view symbol;  ///< an image shown before the text; empty for none
  bool has_nul = false;     ///< a field holds a NUL byte, where formatting stops
  LinkVerdict verdict = LinkVerdict::kShown;
  std::string expanded[7];  ///< the fields in order, where one was expanded
};

/// The number of fields of a link entry value.
inline constexpr int kLinkFieldCount = 7;

/// Splits a link value into its seven fields, trimmed as GetField trims them
/// (missing ones empty), in one pass that also tells whether the fields hold
/// a "%" or a NUL byte.
void SplitLinkFields(std::string_view value, std::string_view* const* fields, bool& percent,
                     bool& nul);

/// What decides which links a run shows: who runs it, on which server,
/// started from which kind of drive.
struct LinkFilter {
  std::uint32_t rights_flags = 0;
  std::uint32_t server_flags = 0;
  DriveType start_drive_type = DriveType::kUnknown;
};

/// True for the keys of a placeholder section that are settings, not links.
bool IsSettingKey(std::string_view key);

/// The filter's decision for a link with these rights and flag bits.
LinkVerdict DecideLink(const LinkFilter& filter, std::uint32_t rights, std::uint32_t flags);
/// Whether a link with these rights and flag bits passes the filter.
inline bool IsLinkAllowed(const LinkFilter& filter, std::uint32_t rights, std::uint32_t flags) {
  return DecideLink(filter, rights, flags) == LinkVerdict::kShown;
}

/// A value as printf's "%s" formats it: up to its first NUL byte. A link
/// field need be searched for one only if its entry holds one (has_nul).
inline std::string_view UpToNul(std::string_view text, bool may_hold_nul = true) {
  return may_hold_nul ? text.substr(0, text.find('\0')) : text;
}

/// Number of indent characters "#" at the start of a link text.
size_t CountIndent(std::string_view text);

#endif  // PAGETRIX_GEN_LINK_ENTRY_H_
