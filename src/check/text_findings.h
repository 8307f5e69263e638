/// Findings about the text of the files a run reads: what the reader makes
/// of their lines, their encoding and the names in them. Nothing here
/// follows what a run does with them; the walk tells that.
#ifndef PAGETRIX_CHECK_TEXT_FINDINGS_H_
#define PAGETRIX_CHECK_TEXT_FINDINGS_H_

#include <string>
#include <string_view>

class CIniFile;
class FindingList;

/// What an INI file is to a run: the consequence of a rejected line differs.
enum class IniRole { kMainConfig, kStartCommands, kPageCommands, kEnvironment };

/// The reader's records and rejected lines of `file`, the file's encoding,
/// and keys and sections named nearly like the ones a run reads.
void CheckIniText(const CIniFile& file, IniRole role, FindingList& findings);
/// The main configuration's own values: flag words, Sichtbar.
void CheckMainConfigValues(const CIniFile& main_config, FindingList& findings);
/// A template's encoding and declared character set.
void CheckTemplateText(const std::string& path, std::string_view bytes, FindingList& findings);

/// A short quotation of a text for a finding.
std::string Quote(std::string_view text);

#endif  // PAGETRIX_CHECK_TEXT_FINDINGS_H_
