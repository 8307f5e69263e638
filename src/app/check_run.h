/// Parts of the run beside the run sequence: the check mode and the result
/// window of a run that made no start page.
#ifndef PAGETRIX_APP_CHECK_RUN_H_
#define PAGETRIX_APP_CHECK_RUN_H_

#include <string>

class FileSystem;

/// Writes the bytes as a new file (an existing one is replaced); false on failure.
bool WriteWholeFile(FileSystem& files, const std::string& path, const std::string& bytes);

#endif  // PAGETRIX_APP_CHECK_RUN_H_
