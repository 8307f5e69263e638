/// Files that are no plain files: pipes and devices, where the system has them.
#ifndef PAGETRIX_TESTS_SUPPORT_SPECIAL_FILES_H_
#define PAGETRIX_TESTS_SUPPORT_SPECIAL_FILES_H_

#include <string>
#include <vector>

class TempDir;

/// A named pipe made in `dir` and the system's endless and empty devices;
/// none where the system has no such files (Windows).
std::vector<std::string> SpecialFiles(const TempDir& dir);

#endif  // PAGETRIX_TESTS_SUPPORT_SPECIAL_FILES_H_
