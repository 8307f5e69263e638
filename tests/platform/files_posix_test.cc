// File operations that only POSIX can show: pipes, devices, links and
// replacing a file another process holds open.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_reading.h"
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
  EXPECT_EQ(ReadFileToString(platform_, dir_.Path("pipe"), &read), ReadResult::kCannotOpen);
  EXPECT_FALSE(ReadFileToString(platform_, dir_.Path("pipe"), &read) == ReadResult::kOk);
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("pipe"), dir_.Path("copy"), false),
            CopyOutcome::kFailed);
  EXPECT_FALSE(platform_.NewWritableFile(dir_.Path("pipe"), true));
  EXPECT_EQ(ReadFileToString(platform_, "/dev/zero", &read), ReadResult::kCannotOpen);
  EXPECT_EQ(PathKind::kOther, platform_.Inspect(dir_.Path("pipe"), Links::kFollow).kind);
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
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(platform_.ListFolder(dir_.path(), &entries));
  EXPECT_EQ(2u, entries.size());  // no temporary file left beside it
}

TEST_F(FilesPosixTest, DeletingInATreeNeverReachesOutOfIt) {
  ASSERT_TRUE(dir_.Write("outside.txt", "kept"));
  ASSERT_TRUE(dir_.MakeDir("tree"));
  ASSERT_EQ(0, ::symlink(dir_.Path("outside.txt").c_str(), dir_.Path("tree/link").c_str()));
  ASSERT_EQ(0, ::chmod(dir_.Path("outside.txt").c_str(), 0444));
  EXPECT_TRUE(platform_.RemoveFile(dir_.Path("tree/link"), dir_.Path("tree")));
  EXPECT_EQ("kept", dir_.Read("outside.txt"));
  struct stat st;
  ASSERT_EQ(0, ::stat(dir_.Path("outside.txt").c_str(), &st));
  EXPECT_EQ(0444u, st.st_mode & 0777);
}

// A copy that fails midway, or a rewrite, onto a file: the file as it was,
// and nothing left beside it. /proc/self/mem is a regular file whose first
// read fails.
TEST_F(FilesPosixTest, FailedCopyLeavesTheTargetAsItWas) {
  ASSERT_TRUE(dir_.Write("target.htm", "old"));
  EXPECT_EQ(platform_.CopyFileTo("/proc/self/mem", dir_.Path("target.htm"), false),
            CopyOutcome::kFailed);
  EXPECT_EQ(platform_.CopyFileTo("/proc/self/mem", dir_.Path("fresh.htm"), false),
            CopyOutcome::kFailed);
  EXPECT_EQ("old", dir_.Read("target.htm"));
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(platform_.ListFolder(dir_.path(), &entries));
  EXPECT_EQ(1u, entries.size());
}

TEST_F(FilesPosixTest, ThroughALinkTheFileItNamesIsReplacedAndTheLinkStays) {
  ASSERT_TRUE(dir_.MakeDir("real"));
  ASSERT_TRUE(dir_.Write("real/a.ini", "old"));
  ASSERT_EQ(0, ::chmod(dir_.Path("real/a.ini").c_str(), 0640));
  ASSERT_TRUE(dir_.Write("new.txt", "copied"));
  ASSERT_EQ(0, ::symlink(dir_.Path("real/a.ini").c_str(), dir_.Path("link.ini").c_str()));
  std::ifstream reader(dir_.Path("real/a.ini"), std::ios::binary);
  EXPECT_TRUE(platform_.RewriteFile(dir_.Path("link.ini"), "rewritten"));
  EXPECT_EQ(PathKind::kLink, platform_.Inspect(dir_.Path("link.ini"), Links::kDoNotFollow).kind);
  EXPECT_EQ("rewritten", dir_.Read("real/a.ini"));
  std::string held((std::istreambuf_iterator<char>(reader)), std::istreambuf_iterator<char>());
  EXPECT_EQ("old", held);
  struct stat st;
  ASSERT_EQ(0, ::stat(dir_.Path("real/a.ini").c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("new.txt"), dir_.Path("link.ini"), false),
            CopyOutcome::kReplaced);
  EXPECT_EQ(PathKind::kLink, platform_.Inspect(dir_.Path("link.ini"), Links::kDoNotFollow).kind);
  EXPECT_EQ("copied", dir_.Read("real/a.ini"));
  // A dangling link leads nowhere anybody has looked at: refused.
  ASSERT_EQ(0, ::symlink(dir_.Path("real/none.ini").c_str(), dir_.Path("dangling").c_str()));
  EXPECT_FALSE(platform_.RewriteFile(dir_.Path("dangling"), "x"));
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("new.txt"), dir_.Path("dangling"), false),
            CopyOutcome::kFailed);
  EXPECT_EQ(PathKind::kMissing,
            platform_.Inspect(dir_.Path("real/none.ini"), Links::kDoNotFollow).kind);
}

TEST_F(FilesPosixTest, ListingTellsLinksToFoldersApart) {
  ASSERT_TRUE(dir_.MakeDir("t/sub"));
  ASSERT_TRUE(dir_.Write("t/file", "x"));
  ASSERT_EQ(0, ::symlink(dir_.Path("t/sub").c_str(), dir_.Path("t/to-folder").c_str()));
  ASSERT_EQ(0, ::symlink(dir_.Path("t/file").c_str(), dir_.Path("t/to-file").c_str()));
  ASSERT_EQ(0, ::symlink(dir_.Path("t/none").c_str(), dir_.Path("t/dangling").c_str()));
  ASSERT_EQ(0, ::symlink(dir_.Path("t/to-folder").c_str(), dir_.Path("t/to-link").c_str()));
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(platform_.ListFolder(dir_.Path("t"), &entries));
  std::map<std::string, std::pair<bool, bool>> found;
  for (const FolderEntry& entry : entries)
    found[entry.path.substr(entry.path.rfind('/') + 1)] = {entry.kind == PathKind::kFolder,
                                                           entry.link};
  // Folder or not as the link leads; every link marked as one.
  const std::map<std::string, std::pair<bool, bool>> expected = {
      {"sub", {true, false}},     {"file", {false, false}},    {"to-folder", {true, true}},
      {"to-file", {false, true}}, {"dangling", {false, true}}, {"to-link", {true, true}}};
  EXPECT_EQ(expected, found);
}

// Another user's folder or link, on the way to a place or where it leads,
// makes it no place of the user's own. Needs root to give things away.
TEST_F(FilesPosixTest, OwnPlacesHaveNoOtherUsersFolderOrLinkOnTheWay) {
  ASSERT_TRUE(dir_.MakeDir("own/inner"));
  ASSERT_TRUE(dir_.MakeDir("foreign/inner"));
  ASSERT_EQ(0, ::symlink(dir_.Path("own").c_str(), dir_.Path("own-link").c_str()));
  ASSERT_EQ(0, ::symlink(dir_.Path("foreign").c_str(), dir_.Path("link-to-foreign").c_str()));
  ASSERT_EQ(0, ::symlink(dir_.Path("own").c_str(), dir_.Path("foreign-link").c_str()));
  EXPECT_TRUE(platform_.IsOwnPlace(dir_.Path("own")));
  EXPECT_TRUE(platform_.IsOwnPlace(dir_.Path("own/missing/deeper")));
  EXPECT_TRUE(platform_.IsOwnPlace(dir_.Path("own-link/inner")));
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
  ASSERT_EQ(0, ::chown(dir_.Path("foreign").c_str(), 65534, 65534));
  ASSERT_EQ(0, ::lchown(dir_.Path("foreign-link").c_str(), 65534, 65534));
  for (const char* place : {"foreign", "foreign/inner", "foreign/missing", "link-to-foreign",
                            "link-to-foreign/inner", "link-to-foreign/missing/deeper",
                            "foreign-link", "foreign-link/inner", "own/../foreign/inner"})
    EXPECT_FALSE(platform_.IsOwnPlace(dir_.Path(place))) << place;
  EXPECT_TRUE(platform_.IsOwnPlace(dir_.Path("own/inner")));
  // Relative to the current directory as well.
  const std::filesystem::path current = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  EXPECT_FALSE(platform_.IsOwnPlace("link-to-foreign/x"));
  EXPECT_TRUE(platform_.IsOwnPlace("own/x"));
  std::filesystem::current_path(current);
}

}  // namespace
