#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/file_reading.h"
#include "platform/platform.h"
#include "support/print.h"
#include "support/temp_dir.h"

namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    saved_cwd_ = std::filesystem::current_path();
  }
  void TearDown() override { std::filesystem::current_path(saved_cwd_); }

  Platform& platform_ = SystemPlatform();
  TempDir dir_;
  std::filesystem::path saved_cwd_;
};

TEST_F(FilesTest, ReadFileExclusiveReadsRawBytes) {
  const std::string bytes("a\r\nb\0c\n\x80\xff", 10);
  ASSERT_TRUE(dir_.Write("f.ini", bytes));
  std::string read;
  EXPECT_EQ(ReadFileToString(platform_, dir_.Path("f.ini"), &read), ReadResult::kOk);
  EXPECT_EQ(read, bytes);
  EXPECT_EQ(ReadFileToString(platform_, dir_.Path("missing.ini"), &read), ReadResult::kCannotOpen);
  EXPECT_EQ(ReadFileToString(platform_, dir_.path(), &read), ReadResult::kCannotOpen);
}

TEST_F(FilesTest, ReadFileExclusiveFailsWhileAnotherHandleIsOpen) {
  std::unique_ptr<WritableFile> writer = platform_.NewWritableFile(dir_.Path("f.ini"), false);
  ASSERT_TRUE(writer);
  ASSERT_TRUE(writer->Append("[x]\r\n"));
  std::string read;
  EXPECT_EQ(ReadFileToString(platform_, dir_.Path("f.ini"), &read), ReadResult::kCannotOpen);
  ASSERT_TRUE(writer->Close());
  EXPECT_EQ(ReadFileToString(platform_, dir_.Path("f.ini"), &read), ReadResult::kOk);
  EXPECT_EQ(read, "[x]\r\n");
}

TEST_F(FilesTest, ExclusiveWriterKeepsOthersOut) {
  std::unique_ptr<WritableFile> first = platform_.NewWritableFile(dir_.Path("log.txt"), true);
  ASSERT_TRUE(first);
  ASSERT_TRUE(first->Append("first"));
  EXPECT_FALSE(platform_.NewWritableFile(dir_.Path("log.txt"), true));
  EXPECT_FALSE(platform_.NewWritableFile(dir_.Path("log.txt"), false));
  std::string read;
  EXPECT_FALSE(ReadFileToString(platform_, dir_.Path("log.txt"), &read) == ReadResult::kOk);
  first.reset();
  // The refused opens did not truncate the holder's file.
  EXPECT_EQ(dir_.Read("log.txt"), "first");
}

TEST_F(FilesTest, ReadersShareButWritersAreRefused) {
  ASSERT_TRUE(dir_.Write("seite.htm", "line\r\n"));
  std::string read;
  {
    // Another logon reading the same file at the same moment.
    std::string other;
    ASSERT_EQ(ReadResult::kOk, ReadFileToString(platform_, dir_.Path("seite.htm"), &other));
    EXPECT_TRUE(ReadFileToString(platform_, dir_.Path("seite.htm"), &read) == ReadResult::kOk);
    EXPECT_EQ(ReadFileToString(platform_, dir_.Path("seite.htm"), &read), ReadResult::kOk);
  }
  std::unique_ptr<WritableFile> writer = platform_.NewWritableFile(dir_.Path("seite.htm"), false);
  ASSERT_TRUE(writer);
  EXPECT_FALSE(ReadFileToString(platform_, dir_.Path("seite.htm"), &read) == ReadResult::kOk);
  EXPECT_EQ(ReadFileToString(platform_, dir_.Path("seite.htm"), &read), ReadResult::kCannotOpen);
}

TEST_F(FilesTest, OnlyRegularFilesWithinTheLimitAreRead) {
  ASSERT_TRUE(dir_.Write("big.ini", std::string(100, 'x')));
  std::string read;
  EXPECT_EQ(ReadResult::kReadError, ReadFileToString(platform_, dir_.Path("big.ini"), &read, 99));
  EXPECT_EQ(ReadResult::kOk, ReadFileToString(platform_, dir_.Path("big.ini"), &read, 100));
  EXPECT_EQ(ReadFileToString(platform_, dir_.path(), &read), ReadResult::kCannotOpen);
  EXPECT_EQ(platform_.CopyFileTo(dir_.path(), dir_.Path("copy"), false), CopyOutcome::kFailed);
  EXPECT_EQ(platform_.FindPath(dir_.Path("copy")), PathKind::kMissing);
}

TEST_F(FilesTest, ReadsWholeFilesOfEverySize) {
  // Around the sizes where a reader changes its pieces, and empty.
  for (size_t size :
       {size_t{0}, size_t{1}, size_t{65535}, size_t{65536}, size_t{65537}, size_t{300001}}) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
    ASSERT_TRUE(dir_.Write("f.bin", bytes));
    std::string read = "stale";
    ASSERT_EQ(ReadFileToString(platform_, dir_.Path("f.bin"), &read), ReadResult::kOk) << size;
    EXPECT_EQ(read.size(), size);
    EXPECT_TRUE(read == bytes) << size;
    std::string head = "stale";
    ASSERT_TRUE(ReadFileHead(platform_, dir_.Path("f.bin"), size / 2 + 1, &head)) << size;
    EXPECT_TRUE(head == bytes.substr(0, size / 2 + 1)) << size;
  }
}

TEST_F(FilesTest, DeletingInTreesTakesEachCallsOwnRoot) {
  ASSERT_TRUE(dir_.MakeDir("one"));
  ASSERT_TRUE(dir_.MakeDir("two"));
  for (const char* name : {"one/a.htm", "one/b.htm", "one/c.htm", "two/d.htm", "two/e.htm"})
    ASSERT_TRUE(dir_.Write(name, name));
  const std::string one = dir_.Path("one"), two = dir_.Path("two");
  // Roots taking turns, as when two old trees are deleted one after another.
  EXPECT_TRUE(platform_.RemoveFile(dir_.Path("one/a.htm"), one));
  EXPECT_TRUE(platform_.RemoveFile(dir_.Path("two/d.htm"), two));
  EXPECT_TRUE(platform_.RemoveFile(dir_.Path("one/b.htm"), one));
  EXPECT_FALSE(platform_.RemoveFile(dir_.Path("one/b.htm"), one));
  EXPECT_EQ(platform_.FindPath(dir_.Path("one/a.htm")), PathKind::kMissing);
  EXPECT_EQ(platform_.FindPath(dir_.Path("two/d.htm")), PathKind::kMissing);
  if (kPathSeparator == '\\') {
    // Windows resolves both paths: a file outside the root stays, also
    // right after a call with the root that holds it.
    EXPECT_FALSE(platform_.RemoveFile(dir_.Path("two/e.htm"), one));
    EXPECT_EQ(dir_.Read("two/e.htm"), "two/e.htm");
    // A root that is gone, and one that came back as a plain file.
    ASSERT_TRUE(platform_.RemoveFile(dir_.Path("one/c.htm"), one));
    ASSERT_EQ(platform_.RemoveFolder(one), RemoveFolderResult::kRemoved);
    EXPECT_FALSE(platform_.RemoveFile(dir_.Path("one/c.htm"), one));
    ASSERT_TRUE(dir_.Write("one", "now a file"));
    EXPECT_FALSE(platform_.RemoveFile(dir_.Path("two/e.htm"), one));
    EXPECT_EQ(dir_.Read("two/e.htm"), "two/e.htm");
  }
}

TEST_F(FilesTest, FileKinds) {
  ASSERT_TRUE(dir_.Write("a.ini", "x"));
  EXPECT_EQ(PathKind::kFile, platform_.Inspect(dir_.Path("a.ini"), Links::kFollow).kind);
  EXPECT_EQ(PathKind::kFolder, platform_.Inspect(dir_.path(), Links::kFollow).kind);
  EXPECT_EQ(PathKind::kMissing, platform_.Inspect(dir_.Path("b.ini"), Links::kFollow).kind);
  // A device wherever it lies under Windows; a plain name elsewhere.
  EXPECT_EQ(kPathSeparator == '/' ? PathKind::kMissing : PathKind::kOther,
            platform_.Inspect(dir_.Path("nul.log"), Links::kFollow).kind);
  const PathInfo folder = platform_.Inspect(dir_.path(), Links::kDoNotFollow);
  EXPECT_EQ(PathKind::kFolder, folder.kind);
  EXPECT_TRUE(folder.owned_by_user);
  EXPECT_TRUE(platform_.IsOwnPlace(dir_.path()));
}

TEST_F(FilesTest, WritableFileTruncates) {
  ASSERT_TRUE(dir_.Write("f.txt", "a long old content"));
  ASSERT_TRUE(dir_.Write("f.txt", "new"));
  EXPECT_EQ(dir_.Read("f.txt"), "new");
}

TEST_F(FilesTest, ListFolderGivesFullPathsWithoutDotEntries) {
  ASSERT_TRUE(dir_.Write("b.htm", "x"));
  ASSERT_TRUE(dir_.Write("A.gif", "x"));
  ASSERT_TRUE(dir_.MakeDir("sub"));
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(platform_.ListFolder(dir_.path(), &entries));
  std::vector<std::pair<std::string, bool>> found;
  for (const FolderEntry& entry : entries) found.emplace_back(entry.path, entry.IsRealFolder());
  std::sort(found.begin(), found.end());
  std::vector<std::pair<std::string, bool>> expected = {
      {dir_.Path("A.gif"), false}, {dir_.Path("b.htm"), false}, {dir_.Path("sub"), true}};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

TEST_F(FilesTest, ListFolderNormalizesTheFolder) {
  ASSERT_TRUE(dir_.MakeDir("sub"));
  ASSERT_TRUE(dir_.Write("sub/f.txt", "x"));
  std::filesystem::current_path(dir_.path());
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(platform_.ListFolder("sub", &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].path, dir_.Path("sub/f.txt"));
  ASSERT_TRUE(platform_.ListFolder(dir_.Path("sub") + kPathSeparator, &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].path, dir_.Path("sub/f.txt"));
}

TEST_F(FilesTest, ListFolderFailsForMissingFolder) {
  std::vector<FolderEntry> entries;
  EXPECT_FALSE(platform_.ListFolder(dir_.Path("missing"), &entries));
  EXPECT_TRUE(platform_.ListFolder(dir_.path(), &entries));
  EXPECT_TRUE(entries.empty());
}

TEST_F(FilesTest, FindPathTellsFilesFromDirectories) {
  ASSERT_TRUE(dir_.Write("f.txt", "x"));
  EXPECT_EQ(platform_.FindPath(dir_.Path("f.txt")), PathKind::kFile);
  EXPECT_EQ(platform_.FindPath(dir_.path()), PathKind::kFolder);
  EXPECT_EQ(platform_.FindPath(dir_.Path("missing")), PathKind::kMissing);
  EXPECT_EQ(platform_.FindPath(dir_.Path("missing/f.txt")), PathKind::kMissing);
  EXPECT_EQ(platform_.FindPath(dir_.Path("f.txt/x")), PathKind::kMissing);
  // What only the file finder answers: patterns match, a trailing
  // separator finds nothing, and roots are not found.
  ASSERT_TRUE(dir_.MakeDir("sub"));
  if (kPathSeparator == '\\') {
    EXPECT_EQ(platform_.FindPath(dir_.Path("f.t?t")), PathKind::kFile);
    EXPECT_EQ(platform_.FindPath(dir_.Path("su*")), PathKind::kFolder);
    EXPECT_EQ(platform_.FindPath(dir_.Path("sub") + kPathSeparator), PathKind::kMissing);
    EXPECT_EQ(platform_.FindPath(dir_.path().substr(0, 3)), PathKind::kMissing);
    EXPECT_EQ(platform_.FindPath(dir_.path().substr(0, 2)), PathKind::kMissing);
  }
}

TEST_F(FilesTest, RemoveDirectoryResults) {
  ASSERT_TRUE(dir_.MakeDir("full"));
  ASSERT_TRUE(dir_.Write("full/f.txt", "x"));
  ASSERT_TRUE(platform_.CreateFolder(dir_.Path("empty")));
  EXPECT_FALSE(platform_.CreateFolder(dir_.Path("empty")));
  EXPECT_EQ(platform_.RemoveFolder(dir_.Path("empty")), RemoveFolderResult::kRemoved);
  EXPECT_EQ(platform_.RemoveFolder(dir_.Path("empty")), RemoveFolderResult::kMissing);
  EXPECT_EQ(platform_.RemoveFolder(dir_.Path("missing/sub")), RemoveFolderResult::kMissing);
  EXPECT_EQ(platform_.RemoveFolder(dir_.Path("full")), RemoveFolderResult::kNotEmpty);
  EXPECT_EQ(platform_.RemoveFolder(dir_.Path("full/f.txt")), RemoveFolderResult::kFailed);
  EXPECT_EQ(platform_.FindPath(dir_.Path("full/f.txt")), PathKind::kFile);
}

TEST_F(FilesTest, DeleteFileRemovesOnlyFilesReadOnlyOnesToo) {
  ASSERT_TRUE(dir_.Write("f.txt", "x"));
  ASSERT_TRUE(dir_.MakeDir("sub"));
  std::filesystem::permissions(dir_.Path("f.txt"), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_TRUE(platform_.RemoveFile(dir_.Path("f.txt"), dir_.path()));
  EXPECT_EQ(platform_.FindPath(dir_.Path("f.txt")), PathKind::kMissing);
  EXPECT_FALSE(platform_.RemoveFile(dir_.Path("f.txt"), dir_.path()));
  EXPECT_FALSE(platform_.RemoveFile(dir_.Path("sub"), dir_.path()));
  EXPECT_EQ(platform_.FindPath(dir_.Path("sub")), PathKind::kFolder);
}

TEST_F(FilesTest, CopyFileTellsWhetherTheTargetWasThere) {
  ASSERT_TRUE(dir_.Write("from.txt", "new"));
  ASSERT_TRUE(dir_.Write("to.txt", "old"));
  ASSERT_TRUE(dir_.MakeDir("folder"));
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), dir_.Path("to.txt"), true),
            CopyOutcome::kTargetExists);
  EXPECT_EQ(dir_.Read("to.txt"), "old");
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), dir_.Path("folder"), true),
            CopyOutcome::kTargetExists);
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), dir_.Path("to.txt"), false),
            CopyOutcome::kReplaced);
  EXPECT_EQ(dir_.Read("to.txt"), "new");
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), dir_.Path("fresh.txt"), true),
            CopyOutcome::kCopied);
  EXPECT_EQ(dir_.Read("fresh.txt"), "new");
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), dir_.Path("fresh2.txt"), false),
            CopyOutcome::kCopied);
  // A folder is never replaced by a file.
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), dir_.Path("folder"), false),
            CopyOutcome::kFailed);
  EXPECT_EQ(platform_.FindPath(dir_.Path("folder")), PathKind::kFolder);
}

TEST_F(FilesTest, CopyFileKeepsContentsAndLastWriteTimeAtEverySize) {
  // Around the copy's piece size, and empty.
  for (size_t size :
       {size_t{0}, size_t{1}, size_t{1} << 20, (size_t{1} << 20) + 1, size_t{3} << 20}) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
    ASSERT_TRUE(dir_.Write("f.bin", bytes));
    ASSERT_NE(platform_.CopyFileTo(dir_.Path("f.bin"), dir_.Path("c.bin"), false),
              CopyOutcome::kFailed)
        << size;
    EXPECT_TRUE(dir_.Read("c.bin") == bytes) << size;
  }
  // A source of three days ago: the copy's own time would differ.
  std::filesystem::last_write_time(
      dir_.Path("f.bin"), std::filesystem::file_time_type::clock::now() - std::chrono::hours(72));
  ASSERT_NE(platform_.CopyFileTo(dir_.Path("f.bin"), dir_.Path("c.bin"), false),
            CopyOutcome::kFailed);
  const PathInfo source = platform_.Inspect(dir_.Path("f.bin"), Links::kFollow);
  const PathInfo copy = platform_.Inspect(dir_.Path("c.bin"), Links::kFollow);
  ASSERT_EQ(PathKind::kFile, copy.kind);
  EXPECT_EQ(source.written, copy.written);
  // Three days are not lost in the conversion.
  EXPECT_GT(platform_.GetWallClock().unix_seconds - copy.written, 71 * 3600);
}

TEST_F(FilesTest, CopyFileFailures) {
  ASSERT_TRUE(dir_.Write("from.txt", "data"));
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("missing.txt"), dir_.Path("to.txt"), false),
            CopyOutcome::kFailed);
  EXPECT_EQ(platform_.FindPath(dir_.Path("to.txt")), PathKind::kMissing);
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), dir_.Path("no/to.txt"), false),
            CopyOutcome::kFailed);
  // Copying a file onto itself must not lose it.
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), dir_.Path("from.txt"), false),
            CopyOutcome::kFailed);
  EXPECT_EQ(dir_.Read("from.txt"), "data");
}

// A target that something holds open for writing is never replaced:
// another run's log, the lock of a running run, this run's own lock.
TEST_F(FilesTest, CopyNeverReplacesAFileHeldOpenForWriting) {
  ASSERT_TRUE(dir_.Write("from.txt", "new"));
  ASSERT_TRUE(dir_.MakeDir("out"));
  std::unique_ptr<FolderLock> lock = platform_.LockFolder(dir_.Path("out"));
  ASSERT_TRUE(lock);
  const std::string lock_file = dir_.Path("out") + kPathSeparator + kLockFileName;
  std::unique_ptr<WritableFile> log = platform_.NewWritableFile(dir_.Path("run.log"), true);
  std::unique_ptr<WritableFile> page = platform_.NewWritableFile(dir_.Path("page.htm"), false);
  ASSERT_TRUE(log && page);
  ASSERT_TRUE(log->Append("(0 ms) log"));
  ASSERT_TRUE(page->Append("page"));
  for (const std::string& held : {lock_file, dir_.Path("run.log"), dir_.Path("page.htm")}) {
    EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), held, false), CopyOutcome::kFailed)
        << held;
    EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), held, true), CopyOutcome::kTargetExists)
        << held;
    EXPECT_FALSE(platform_.RewriteFile(held, "new")) << held;
  }
  EXPECT_TRUE(platform_.IsFolderLocked(dir_.Path("out")));
  log.reset();
  page.reset();
  EXPECT_EQ(dir_.Read("run.log"), "(0 ms) log");
  EXPECT_EQ(dir_.Read("page.htm"), "page");
  // Closed, they are files like any other.
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("from.txt"), dir_.Path("run.log"), false),
            CopyOutcome::kReplaced);
  EXPECT_EQ(dir_.Read("run.log"), "new");
  lock.reset();
  EXPECT_EQ(platform_.FindPath(lock_file), PathKind::kMissing);
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(platform_.ListFolder(dir_.path(), &entries));
  EXPECT_EQ(entries.size(), 4u);  // from.txt, out, run.log, page.htm: nothing beside them
}

TEST_F(FilesTest, RewriteReplacesWholeOrNotAtAll) {
  ASSERT_TRUE(dir_.Write("a.ini", "[Pagetrix]\r\nX=1\r\n"));
  EXPECT_TRUE(platform_.RewriteFile(dir_.Path("a.ini"), "[Pagetrix]\r\nX=2\r\n"));
  EXPECT_EQ(dir_.Read("a.ini"), "[Pagetrix]\r\nX=2\r\n");
  // A file that is not there is made.
  EXPECT_TRUE(platform_.RewriteFile(dir_.Path("new.ini"), "neu"));
  EXPECT_EQ(dir_.Read("new.ini"), "neu");
  // No folder, nothing in a missing folder, no device.
  ASSERT_TRUE(dir_.MakeDir("folder"));
  EXPECT_FALSE(platform_.RewriteFile(dir_.Path("folder"), "x"));
  EXPECT_EQ(platform_.FindPath(dir_.Path("folder")), PathKind::kFolder);
  EXPECT_FALSE(platform_.RewriteFile(dir_.Path("missing/a.ini"), "x"));
  if (kPathSeparator == '\\') {
    EXPECT_FALSE(platform_.RewriteFile(dir_.Path("nul.ini"), "x"));
  }
  // A read-only file stays as it is, as it does for a copy.
  std::filesystem::permissions(dir_.Path("a.ini"),
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  EXPECT_FALSE(platform_.RewriteFile(dir_.Path("a.ini"), "x"));
  EXPECT_EQ(platform_.CopyFileTo(dir_.Path("new.ini"), dir_.Path("a.ini"), false),
            CopyOutcome::kFailed);
  EXPECT_EQ(dir_.Read("a.ini"), "[Pagetrix]\r\nX=2\r\n");
  std::filesystem::permissions(dir_.Path("a.ini"), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(platform_.ListFolder(dir_.path(), &entries));
  EXPECT_EQ(entries.size(), 3u);  // a.ini, new.ini, folder: nothing left beside them
}

TEST_F(FilesTest, ReadFileHeadReadsAtMostItsStart) {
  ASSERT_TRUE(dir_.Write("f.txt", "0123456789"));
  std::string head;
  ASSERT_TRUE(ReadFileHead(platform_, dir_.Path("f.txt"), 4, &head));
  EXPECT_EQ(head, "0123");
  ASSERT_TRUE(ReadFileHead(platform_, dir_.Path("f.txt"), 400, &head));
  EXPECT_EQ(head, "0123456789");
  EXPECT_FALSE(ReadFileHead(platform_, dir_.path(), 4, &head));
  EXPECT_FALSE(ReadFileHead(platform_, dir_.Path("missing"), 4, &head));
  std::unique_ptr<WritableFile> writer = platform_.NewWritableFile(dir_.Path("f.txt"), true);
  ASSERT_TRUE(writer);
  EXPECT_FALSE(ReadFileHead(platform_, dir_.Path("f.txt"), 4, &head));
}

TEST_F(FilesTest, InspectTellsTimesOfWhatExists) {
  ASSERT_TRUE(dir_.Write("f.txt", "x"));
  const std::int64_t now = platform_.GetWallClock().unix_seconds;
  for (const std::string& path : {dir_.Path("f.txt"), dir_.path()}) {
    for (Links links : {Links::kFollow, Links::kDoNotFollow}) {
      const PathInfo info = platform_.Inspect(path, links);
      EXPECT_NE(PathKind::kMissing, info.kind) << path;
      EXPECT_LT(std::abs(info.created - now), 24 * 3600) << path;
      EXPECT_LT(std::abs(info.written - now), 24 * 3600) << path;
      EXPECT_TRUE(info.owned_by_user) << path;
    }
  }
  EXPECT_EQ(PathKind::kMissing, platform_.Inspect(dir_.Path("missing"), Links::kFollow).kind);
  EXPECT_EQ(PathKind::kMissing,
            platform_.Inspect(dir_.Path("missing/deeper"), Links::kDoNotFollow).kind);
}

TEST_F(FilesTest, SearchPathResolvesAgainstCurrentDirectory) {
  ASSERT_TRUE(dir_.Write("pagetrix-probe.txt", "x"));
  std::filesystem::current_path(dir_.path());
  std::string found;
  EXPECT_TRUE(platform_.FindOnSearchPath("pagetrix-probe.txt", &found));
  EXPECT_EQ(found, dir_.Path("pagetrix-probe.txt"));
  EXPECT_TRUE(platform_.FindOnSearchPath(dir_.Path("pagetrix-probe.txt"), &found));
  EXPECT_EQ(found, dir_.Path("pagetrix-probe.txt"));
  EXPECT_FALSE(platform_.FindOnSearchPath("pagetrix-missing.txt", &found));
  EXPECT_FALSE(platform_.FindOnSearchPath(dir_.Path("pagetrix-missing.txt"), &found));
}

TEST_F(FilesTest, EnteringAFolderLeavesTheCurrentOneAsItWas) {
  ASSERT_TRUE(dir_.Write("f.txt", "x"));
  const std::filesystem::path before = std::filesystem::current_path();
  EXPECT_TRUE(platform_.CanEnterFolder(dir_.path()));
  EXPECT_EQ(before, std::filesystem::current_path());
  EXPECT_FALSE(platform_.CanEnterFolder(dir_.Path("missing")));
  EXPECT_FALSE(platform_.CanEnterFolder(dir_.Path("f.txt")));
  EXPECT_FALSE(platform_.CanEnterFolder(""));
  EXPECT_EQ(before, std::filesystem::current_path());
}

}  // namespace
