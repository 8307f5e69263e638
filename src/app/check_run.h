/// Parts of the run beside the run sequence: the check mode, the testing
/// switch /CD and the result window of a run that made no start page.
#ifndef PAGETRIX_APP_CHECK_RUN_H_
#define PAGETRIX_APP_CHECK_RUN_H_

#include <string>

struct StartLocation;

/// Makes the run treat its start drive as a CD-ROM drive, with the
/// environment section a CD start selects.
void TreatStartDriveAsCd(StartLocation& location);

/// Writes the bytes as a new file (an existing one is replaced); false on failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

#endif  // PAGETRIX_APP_CHECK_RUN_H_
