#include "fs/util.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/platform.h"
#include "platform/platform_wrapper.h"
#include "support/fake_platform.h"
#include "support/print.h"
#include "support/temp_dir.h"

namespace {

TEST(SplitPathTest, NetworkDriveGivesHostOfShare) {
  FakePlatform platform;
  platform.network_names["G:\\Programme\\Start.exe"] = "\\\\host.firma.de\\apps";
  CUtil parts;
  parts.SplitPath(platform, "G:\\Programme\\Start.exe");
  EXPECT_EQ("G:", parts.drive);
  EXPECT_EQ("\\Programme\\", parts.directory);
  EXPECT_EQ("Start", parts.file_name);
  EXPECT_EQ(".exe", parts.extension);
  EXPECT_EQ("host", parts.server_name);
}

TEST(SplitPathTest, LocalAndUncAndShortPaths) {
  FakePlatform platform;
  platform.network_name = "";  // every query fails: local drives
  CUtil parts;
  parts.SplitPath(platform, "C:\\TEMP\\x.txt");
  EXPECT_EQ("", parts.server_name);
  parts.SplitPath(platform, "\\\\host\\share\\dir\\file.htm");
  EXPECT_EQ("", parts.drive);
  EXPECT_EQ("\\\\host\\share\\dir\\", parts.directory);
  EXPECT_EQ("host", parts.server_name);
  parts.SplitPath(platform, "X:");
  EXPECT_EQ("X:", parts.drive);
  EXPECT_EQ("", parts.directory);
  parts.SplitPath(platform, "a/b.c/name");
  EXPECT_EQ("a/b.c/", parts.directory);
  EXPECT_EQ("name", parts.file_name);
  EXPECT_EQ("", parts.extension);
}

TEST(GetFieldTest, Fields) {
  std::string field;
  EXPECT_TRUE(GetField(field, "a|b|c", 2, '|'));
  EXPECT_EQ("b", field);
  EXPECT_TRUE(GetField(field, "a|b|c", 3, '|'));
  EXPECT_EQ("c", field);
  EXPECT_FALSE(GetField(field, "a|b|c", 4, '|'));
  EXPECT_EQ("", field);
  EXPECT_TRUE(GetField(field, " a | b ", 1, '|'));
  EXPECT_EQ("a", field);
  EXPECT_TRUE(GetField(field, " a | b \r\n", 2, '|'));
  EXPECT_EQ("b", field);
  EXPECT_TRUE(GetField(field, "a||c", 2, '|'));
  EXPECT_EQ("", field);
  EXPECT_TRUE(GetField(field, "x|y", 0, '|'));
  EXPECT_EQ("x", field);
}

TEST(GetDirectoryPartTest, KeepsTrailingSeparator) {
  EXPECT_EQ("C:\\a\\", GetDirectoryPart("C:\\a\\b"));
  EXPECT_EQ("C:\\a\\b\\", GetDirectoryPart("C:\\a\\b\\"));
  EXPECT_EQ("C:", GetDirectoryPart("C:"));
  EXPECT_EQ("", GetDirectoryPart("name"));
}

class FileOpsTest : public ::testing::Test {
 protected:
  std::vector<std::string> Collect(const std::string& dir, const std::string& filter, int recurse,
                                   int directories) {
    std::vector<std::string> result;
    CollectFiles(SystemPlatform(), dir, FileCollectOptions{filter, recurse, result, directories});
    return result;
  }
  TempDir dir_;
};

TEST_F(FileOpsTest, CollectDirectoriesParentFirst) {
  ASSERT_TRUE(dir_.MakeDir("a/b/c"));
  dir_.Write("a/b/file.txt", "x");
  auto found = Collect(dir_.Path("a"), "", 1, 1);
  ASSERT_EQ(2u, found.size());
  EXPECT_EQ(dir_.Path("a/b"), found[0]);
  EXPECT_EQ(dir_.Path("a/b/c"), found[1]);
}

TEST_F(FileOpsTest, CollectWithExtensionFilter) {
  dir_.Write("index.htm", "");
  dir_.Write("INDEX2.HTM", "");
  dir_.Write("page.html", "");
  dir_.Write("README", "");
  dir_.MakeDir("sub.htm");
  auto found = Collect(dir_.path(), ".HTM;.GIF;", 0, 0);
  std::sort(found.begin(), found.end());
  ASSERT_EQ(2u, found.size());
  EXPECT_EQ(dir_.Path("INDEX2.HTM"), found[0]);
  EXPECT_EQ(dir_.Path("index.htm"), found[1]);
  EXPECT_TRUE(Collect(dir_.Path("missing"), "", 1, 0).empty());
}

TEST_F(FileOpsTest, CreateDirectoryPathCreatesParentsTopDown) {
  std::string deep = dir_.Path("x/y/z") + kPathSeparator;
  EXPECT_TRUE(CreateDirectoryPath(SystemPlatform(), deep));
  EXPECT_EQ(PathKind::kFolder, GetPathKind(SystemPlatform(), dir_.Path("x/y/z")));
  EXPECT_TRUE(CreateDirectoryPath(SystemPlatform(), deep));
}

TEST_F(FileOpsTest, CreateDirectoryPathFailsOnAFileInTheWay) {
  dir_.MakeDir("x");
  dir_.Write("x/y", "file");
  EXPECT_FALSE(CreateDirectoryPath(SystemPlatform(), dir_.Path("x/y/z")));
  EXPECT_EQ(PathKind::kFile, GetPathKind(SystemPlatform(), dir_.Path("x/y")));
}

TEST_F(FileOpsTest, DeleteFileAndDirectoryRemovesEmptiedDirectory) {
  dir_.MakeDir("d");
  dir_.Write("d/one", "1");
  dir_.Write("d/two", "2");
  EXPECT_TRUE(DeleteFileAndDirectory(SystemPlatform(), dir_.Path("d/one")));
  EXPECT_EQ(PathKind::kFolder, GetPathKind(SystemPlatform(), dir_.Path("d")));
  EXPECT_TRUE(DeleteFileAndDirectory(SystemPlatform(), dir_.Path("d/two")));
  EXPECT_EQ(PathKind::kMissing, GetPathKind(SystemPlatform(), dir_.Path("d")));
}

TEST_F(FileOpsTest, PathKinds) {
  dir_.Write("f", "");
  EXPECT_EQ(PathKind::kFile, GetPathKind(SystemPlatform(), dir_.Path("f")));
  EXPECT_EQ(PathKind::kFolder, GetPathKind(SystemPlatform(), dir_.path()));
  EXPECT_EQ(PathKind::kMissing, GetPathKind(SystemPlatform(), dir_.Path("nothing")));
  std::string root(1, kPathSeparator);
  EXPECT_EQ(PathKind::kFolder, GetPathKind(SystemPlatform(), root));
  EXPECT_TRUE(CanChangeDirectory(SystemPlatform(), dir_.path()));
  EXPECT_FALSE(CanChangeDirectory(SystemPlatform(), dir_.Path("nothing")));
}

}  // namespace

namespace {

// Another run creates the same folder between the look and the creation.
class RacingPlatform : public PlatformWrapper {
 public:
  bool CreateFolder(const std::string& path) override {
    PlatformWrapper::CreateFolder(path);
    return false;
  }
};

TEST(CreateDirectoryPathRaceTest, AFolderAnotherRunMadeMeanwhileCounts) {
  TempDir dir;
  RacingPlatform racing;
  EXPECT_TRUE(CreateDirectoryPath(racing, dir.Path("base/run")));
  EXPECT_EQ(PathKind::kFolder, SystemPlatform().FindPath(dir.Path("base/run")));
}

}  // namespace
