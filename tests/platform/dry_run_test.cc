#include "platform/dry_run.h"
#include "platform/file_reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

class DryRunTest : public ::testing::Test {
 protected:
  DryRunTest() : dry_(SystemPlatform(), reads_) {
    dir_.Write("quelle.txt", "Quelle");
    dir_.MakeDir("ordner");
  }

  std::string Read(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadFileToString(dry_, path, &bytes) == ReadResult::kOk) << path;
    return bytes;
  }
  PathKind Real(const std::string& name) { return SystemPlatform().FindPath(dir_.Path(name)); }

  TempDir dir_;
  DryRunReads reads_;
  DryRunPlatform dry_;
};

// What the walk writes is there for the walk's later questions, and nowhere else.
TEST_F(DryRunTest, WritesAndCopiesAreRecordedNotDone) {
  std::unique_ptr<WritableFile> file = dry_.NewWritableFile(dir_.Path("seite.htm"), false);
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->Append("<html>"));
  EXPECT_TRUE(file->Append("</html>"));
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(PathKind::kMissing, Real("seite.htm"));
  EXPECT_EQ(PathKind::kFile, dry_.FindPath(dir_.Path("seite.htm")));
  EXPECT_EQ("<html></html>", Read(dir_.Path("seite.htm")));

  EXPECT_EQ(CopyOutcome::kCopied,
            dry_.CopyFileTo(dir_.Path("quelle.txt"), dir_.Path("kopie.txt"), true));
  EXPECT_EQ(PathKind::kMissing, Real("kopie.txt"));
  EXPECT_EQ("Quelle", Read(dir_.Path("kopie.txt")));
  EXPECT_EQ(CopyOutcome::kTargetExists,
            dry_.CopyFileTo(dir_.Path("quelle.txt"), dir_.Path("kopie.txt"), true));
  EXPECT_EQ(CopyOutcome::kReplaced,
            dry_.CopyFileTo(dir_.Path("seite.htm"), dir_.Path("kopie.txt"), false));
  EXPECT_EQ("<html></html>", Read(dir_.Path("kopie.txt"))) << "a copy of what the walk wrote";
  // A real file replaced by the walk reads as the walk left it.
  EXPECT_EQ(CopyOutcome::kReplaced,
            dry_.CopyFileTo(dir_.Path("seite.htm"), dir_.Path("quelle.txt"), false));
  EXPECT_EQ("<html></html>", Read(dir_.Path("quelle.txt")));
  EXPECT_EQ("Quelle", dir_.Read("quelle.txt"));

  EXPECT_EQ(2, dry_.Writes(dir_.Path("kopie.txt")));
  EXPECT_EQ(0, dry_.Writes(dir_.Path("ordner")));
  const std::vector<DryRunPlatform::Change>& changes = dry_.changes();
  ASSERT_EQ(4u, changes.size());
  EXPECT_EQ(DryRunPlatform::Change::Kind::kWrite, changes[0].kind);
  EXPECT_EQ(DryRunPlatform::Change::Kind::kCopy, changes[1].kind);
  EXPECT_EQ(dir_.Path("quelle.txt"), changes[1].source);
  EXPECT_EQ(dir_.Path("kopie.txt"), changes[1].path);
}

// A walk fails where the system would surely refuse.
TEST_F(DryRunTest, WritesAndCopiesTheSystemWouldRefuse) {
  EXPECT_FALSE(dry_.NewWritableFile(dir_.Path("fehlt/seite.htm"), false));
  EXPECT_FALSE(dry_.NewWritableFile(dir_.Path("ordner"), false));
  EXPECT_EQ(CopyOutcome::kFailed,
            dry_.CopyFileTo(dir_.Path("fehlt.txt"), dir_.Path("kopie.txt"), false));
  EXPECT_EQ(CopyOutcome::kFailed,
            dry_.CopyFileTo(dir_.Path("ordner"), dir_.Path("kopie.txt"), false));
  EXPECT_EQ(CopyOutcome::kFailed,
            dry_.CopyFileTo(dir_.Path("quelle.txt"), dir_.Path("fehlt/kopie.txt"), false));
  EXPECT_EQ(CopyOutcome::kFailed,
            dry_.CopyFileTo(dir_.Path("quelle.txt"), dir_.Path("ordner"), false));
  // A folder the walk removed holds nothing any more.
  ASSERT_TRUE(dry_.RemoveFolder(dir_.Path("ordner")) == RemoveFolderResult::kRemoved);
  EXPECT_FALSE(dry_.NewWritableFile(dir_.Path("ordner/x.htm"), false));
  EXPECT_TRUE(dry_.changes().size() == 1);
}

TEST_F(DryRunTest, FoldersAndDeletionsAnswerLaterQuestions) {
  EXPECT_TRUE(dry_.CreateFolder(dir_.Path("neu")));
  EXPECT_TRUE(dry_.CreateFolder(dir_.Path("neu/tiefer")));
  EXPECT_FALSE(dry_.CreateFolder(dir_.Path("neu"))) << "it exists";
  EXPECT_FALSE(dry_.CreateFolder(dir_.Path("gar/nicht"))) << "its parent does not";
  EXPECT_EQ(PathKind::kMissing, Real("neu"));
  EXPECT_EQ(PathKind::kFolder, dry_.FindPath(dir_.Path("neu/tiefer")));
  const PathInfo made = dry_.Inspect(dir_.Path("neu"), Links::kDoNotFollow);
  EXPECT_EQ(PathKind::kFolder, made.kind);
  EXPECT_TRUE(made.owned_by_user);
  ASSERT_TRUE(dry_.NewWritableFile(dir_.Path("neu/tiefer/a.htm"), false));
  EXPECT_EQ(std::vector<std::string>{"a.htm"}, dry_.FilesIn(dir_.Path("neu/tiefer")));

  dir_.Write("ordner/alt.htm", "alt");
  EXPECT_EQ(RemoveFolderResult::kNotEmpty, dry_.RemoveFolder(dir_.Path("ordner")));
  EXPECT_TRUE(dry_.RemoveFile(dir_.Path("ordner/alt.htm"), dir_.Path("ordner")));
  EXPECT_EQ("alt", dir_.Read("ordner/alt.htm"));
  EXPECT_EQ(PathKind::kMissing, dry_.FindPath(dir_.Path("ordner/alt.htm")));
  std::string bytes;
  EXPECT_FALSE(ReadFileToString(dry_, dir_.Path("ordner/alt.htm"), &bytes) == ReadResult::kOk);
  EXPECT_FALSE(dry_.RemoveFile(dir_.Path("ordner/alt.htm"), dir_.path())) << "already gone";
  EXPECT_EQ(RemoveFolderResult::kRemoved, dry_.RemoveFolder(dir_.Path("ordner")));
  EXPECT_EQ(PathKind::kFolder, Real("ordner"));
  EXPECT_EQ(RemoveFolderResult::kMissing, dry_.RemoveFolder(dir_.Path("ordner")));

  // The listing of a real folder shows what the walk added and removed.
  dir_.MakeDir("liste");
  dir_.Write("liste/bleibt.txt", "1");
  dir_.Write("liste/weg.txt", "2");
  ASSERT_TRUE(dry_.RemoveFile(dir_.Path("liste/weg.txt"), dir_.path()));
  ASSERT_EQ(CopyOutcome::kCopied,
            dry_.CopyFileTo(dir_.Path("quelle.txt"), dir_.Path("liste/neu.txt"), true));
  ASSERT_TRUE(dry_.CreateFolder(dir_.Path("liste/unter")));
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(dry_.ListFolder(dir_.Path("liste"), &entries));
  std::vector<std::string> listed;
  for (const FolderEntry& entry : entries)
    listed.push_back(entry.path + (entry.IsRealFolder() ? " (Ordner)" : ""));
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ((std::vector<std::string>{dir_.Path("liste/bleibt.txt"), dir_.Path("liste/neu.txt"),
                                      dir_.Path("liste/unter") + " (Ordner)"}),
            listed);
}

TEST_F(DryRunTest, ReadsComeFromTheSystemOncePerCheck) {
  EXPECT_EQ("Quelle", Read(dir_.Path("quelle.txt")));
  dir_.Write("quelle.txt", "geaendert");
  EXPECT_EQ("Quelle", Read(dir_.Path("quelle.txt"))) << "one snapshot for every walk";
  DryRunPlatform second(SystemPlatform(), reads_);
  std::string bytes;
  ASSERT_TRUE(ReadFileToString(second, dir_.Path("quelle.txt"), &bytes) == ReadResult::kOk);
  EXPECT_EQ("Quelle", bytes);
  EXPECT_EQ(ReadResult::kCannotOpen, ReadFileToString(second, dir_.Path("fehlt.txt"), &bytes));
  EXPECT_EQ(ReadResult::kCannotOpen, ReadFileToString(second, dir_.Path("ordner"), &bytes));
  // A new walk starts from the system again, not from the last walk's changes.
  ASSERT_TRUE(dry_.NewWritableFile(dir_.Path("nur_im_ersten.htm"), false));
  EXPECT_EQ(PathKind::kMissing, second.FindPath(dir_.Path("nur_im_ersten.htm")));
}

TEST_F(DryRunTest, LockAndProcessesLeaveNoTrace) {
  ASSERT_TRUE(dry_.CreateFolder(dir_.Path("ausgabe")));
  std::unique_ptr<FolderLock> lock = dry_.LockFolder(dir_.Path("ausgabe"));
  EXPECT_TRUE(lock);
  EXPECT_TRUE(dry_.FilesIn(dir_.Path("ausgabe")).empty());
  // The lock is open for writing: no copy or rewrite replaces it, in any spelling.
  for (const char* name :
       {"ausgabe/Pagetrix.lck", "ausgabe/PAGETRIX.LCK", "ausgabe//Pagetrix.lck"}) {
    const bool case_blind = dry_.FileKey("a") == dry_.FileKey("A");
    if (!case_blind && name[8] == 'P' && name[9] == 'A') continue;
    EXPECT_EQ(CopyOutcome::kFailed,
              dry_.CopyFileTo(dir_.Path("quelle.txt"), dir_.Path(name), false))
        << name;
  }
  EXPECT_EQ(CopyOutcome::kCopied,
            dry_.CopyFileTo(dir_.Path("quelle.txt"), dir_.Path("ausgabe/Pagetrix.lck.txt"), false));
  EXPECT_FALSE(SystemPlatform().IsFolderLocked(dir_.Path("ordner")));
  std::string failure;
  EXPECT_TRUE(dry_.StartProcess("\"/nicht/da\" \"x\"", &failure));
  EXPECT_EQ(DryRunPlatform::Change::Kind::kStart, dry_.changes().back().kind);
}

// Paths are recorded as the system compares them.
TEST_F(DryRunTest, SpellingsOfOnePath) {
  ASSERT_TRUE(dry_.NewWritableFile(dir_.Path("Seite.htm"), false));
  const std::string doubled = dir_.path() + kPathSeparator + kPathSeparator + "Seite.htm";
  EXPECT_EQ(PathKind::kFile, dry_.FindPath(doubled));
  EXPECT_EQ(DryRunPlatform::FileKey(doubled), DryRunPlatform::FileKey(dir_.Path("Seite.htm")));
  const PathKind other_case = dry_.FindPath(dir_.Path("SEITE.HTM"));
  if (kPathSeparator == '\\') {
    EXPECT_EQ(PathKind::kFile, other_case) << "Windows ignores letter case";
  } else {
    EXPECT_EQ(PathKind::kMissing, other_case);
  }
}

// "." and ".." through a folder only the walk made, and a backslash, which
// separates on Windows and is part of a name on POSIX: as a real run meets them.
TEST_F(DryRunTest, DotStepsAndBackslashesAsTheSystemTakesThem) {
  const std::string out = dir_.Path("neu");
  ASSERT_TRUE(dry_.CreateFolder(out));
  for (const char* through : {"/../oben.txt", "/./../oben2.txt", "/./.././oben3.txt"}) {
    EXPECT_EQ(CopyOutcome::kCopied, dry_.CopyFileTo(dir_.Path("quelle.txt"), out + through, false))
        << through;
  }
  EXPECT_EQ(CopyOutcome::kCopied,
            dry_.CopyFileTo(dir_.Path("quelle.txt"), out + "/./drin.txt", false));
  EXPECT_EQ((std::vector<std::string>{"drin.txt"}), dry_.FilesIn(out));
  std::vector<std::string> above = dry_.FilesIn(dir_.path());
  for (const char* name : {"oben.txt", "oben2.txt", "oben3.txt"})
    EXPECT_NE(above.end(), std::find(above.begin(), above.end(), name)) << name;
  EXPECT_EQ(CopyOutcome::kFailed,
            dry_.CopyFileTo(dir_.Path("quelle.txt"), out + "/fehlt/../../x/y.txt", false));
  // Through a folder that is nowhere: POSIX walks each step, Windows none.
  for (const char* through : {"/fehlt/../drin2.txt", "/fehlt/./../drin3.txt"}) {
    EXPECT_EQ(kPathSeparator == '\\' ? CopyOutcome::kCopied : CopyOutcome::kFailed,
              dry_.CopyFileTo(dir_.Path("quelle.txt"), out + through, false))
        << through;
  }

  const CopyOutcome backslash =
      dry_.CopyFileTo(dir_.Path("quelle.txt"), out + "/sub\\x.htm", false);
  if (kPathSeparator == '\\') {
    EXPECT_EQ(CopyOutcome::kFailed, backslash) << "no folder sub";
  } else {
    EXPECT_EQ(CopyOutcome::kCopied, backslash);
    EXPECT_EQ((std::vector<std::string>{"drin.txt", "sub\\x.htm"}), dry_.FilesIn(out));
  }
}

}  // namespace
