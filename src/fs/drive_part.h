/// Whether a split path names where it starts, so that no directory is put in front of it.
#ifndef PAGETRIX_FS_DRIVE_PART_H_
#define PAGETRIX_FS_DRIVE_PART_H_

class CUtil;

/// True when the path split into `parts` has a drive letter or is a network
/// path; on the native build, where paths have no drives, a path from the
/// root counts as one.
bool HasDrivePart(const CUtil& parts);

#endif  // PAGETRIX_FS_DRIVE_PART_H_
