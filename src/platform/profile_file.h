/// Keys of one section of an INI file, set so that every other byte of the
/// file stays as it was (the result window keeps its placement this way).
#ifndef PAGETRIX_PLATFORM_PROFILE_FILE_H_
#define PAGETRIX_PLATFORM_PROFILE_FILE_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class FileSystem;

/// Key and value pairs, in the order they are written.
using ProfileKeys = std::vector<std::pair<std::string, std::string>>;

/// The INI text `text` with `keys` set in `section`, as the system's
/// private-profile functions find them: the first section of that name and
/// in it the first line of each key (names without regard to ASCII case;
/// blanks and tabs around them ignored, so a comment line, beginning with
/// ";", names none). Such a line keeps everything up to its "=" and the blanks
/// after it and gets the new value; a key not there is added after the
/// section's last line that is not blank, a section not there at the end of
/// the text. Every other byte stays. New lines end as the text's first line
/// does (CR LF when it has none).
std::string SetProfileKeys(std::string_view text, std::string_view section,
                           const ProfileKeys& keys);

/// Sets the keys in the file `path` of `files`: read, changed in memory and
/// rewritten all at once (FileSystem::RewriteFile). However many processes do it at the
/// same moment, each finds the file whole, so no line of it is ever lost:
/// of their values, one process's survive. A missing file is made; a file
/// that cannot be read or rewritten (read-only, in use, no rights) is left
/// as it was, and the result is false.
bool WriteProfileKeys(FileSystem& files, const std::string& path, std::string_view section,
                      const ProfileKeys& keys);

#endif  // PAGETRIX_PLATFORM_PROFILE_FILE_H_
