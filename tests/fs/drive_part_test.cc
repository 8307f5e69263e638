#include "fs/drive_part.h"

#include <gtest/gtest.h>

#include "fs/util.h"
#include "platform/platform.h"
#include "support/fake_platform.h"

namespace {

bool HasDrive(const std::string& path) {
  FakePlatform machine;
  machine.network_name = "";  // local drives only
  CUtil parts;
  parts.SplitPath(machine, path);
  return HasDrivePart(parts);
}

TEST(HasDrivePartTest, DriveLettersNetworkPathsAndNativeRoots) {
  EXPECT_TRUE(HasDrive("C:\\Vorlagen\\nav.ini"));
  EXPECT_TRUE(HasDrive("c:nav.ini"));
  EXPECT_FALSE(HasDrive("nav.ini"));
  EXPECT_FALSE(HasDrive("sub\\nav.ini"));
  // A backslash root still has no drive; the command directory goes in front.
  EXPECT_FALSE(HasDrive("\\Vorlagen\\nav.ini"));
  // A network path must not get a folder in front of its server name.
  EXPECT_TRUE(HasDrive("\\\\host\\share\\nav.ini"));
  EXPECT_EQ(kPathSeparator == '/', HasDrive("/srv/vorlagen/nav.ini"));
}

}  // namespace
