// File operations that only POSIX can show: pipes, devices, links and
// replacing a file another process holds open.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace {

class FilesPosixTest : public ::testing::Test {
 protected:
  Platform& platform_ = SystemPlatform();
  TempDir dir_;
};

TEST_F(FilesPosixTest, PipesAndDevicesAreNeitherReadNorWrittenNorWaitedFor) {
  std::string read;
  ASSERT_EQ(0, ::mkfifo(dir_.Path("pipe").c_str(), 0600));
  EXPECT_EQ(platform_.ReadFileExclusive(dir_.Path("pipe"), &read), ReadResult::kCannotOpen);
  EXPECT_FALSE(platform_.ReadFile(dir_.Path("pipe"), &read));
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("pipe"), dir_.Path("copy"), false),
            CopyOutcome::kFailed);
  EXPECT_FALSE(platform_.NewWritableFile(dir_.Path("pipe"), true));
  EXPECT_EQ(platform_.ReadFileExclusive("/dev/zero", &read), ReadResult::kCannotOpen);
  EXPECT_EQ(guarded::PathType::kOther, platform_.GetPathType(dir_.Path("pipe"), true));
}

TEST_F(FilesPosixTest, CopyOverAFileInUseLeavesItsReaderTheOldBytes) {
  ASSERT_TRUE(dir_.Write("new.htm", "new"));
  ASSERT_TRUE(dir_.Write("shown.htm", "old"));
  std::ifstream reader(dir_.Path("shown.htm"), std::ios::binary);
  ASSERT_EQ(platform_.CopyFileTo(dir_.Path("new.htm"), dir_.Path("shown.htm"), false),
            CopyOutcome::kReplaced);
  std::string held((std::istreambuf_iterator<char>(reader)), std::istreambuf_iterator<char>());
  EXPECT_EQ("old", held);
  EXPECT_EQ("new", dir_.Read("shown.htm"));
  std::vector<FindEntry> entries;
  ASSERT_TRUE(platform_.ListDirectory(dir_.path(), &entries));
  EXPECT_EQ(2u, entries.size());  // no temporary file left beside it
}

TEST_F(FilesPosixTest, DeletingInATreeNeverReachesOutOfIt) {
  ASSERT_TRUE(dir_.Write("outside.txt", "kept"));
  ASSERT_TRUE(dir_.MakeDir("tree"));
  ASSERT_EQ(0, ::symlink(dir_.Path("outside.txt").c_str(), dir_.Path("tree/link").c_str()));
  ASSERT_EQ(0, ::chmod(dir_.Path("outside.txt").c_str(), 0444));
  EXPECT_TRUE(platform_.RemoveFileInTree(dir_.Path("tree/link"), dir_.Path("tree")));
  EXPECT_EQ("kept", dir_.Read("outside.txt"));
  struct stat st;
  ASSERT_EQ(0, ::stat(dir_.Path("outside.txt").c_str(), &st));
  EXPECT_EQ(0444u, st.st_mode & 0777);
}

}  // namespace
