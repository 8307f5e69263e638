#include "fs/util.h"
#include "gen/gen_fixture.h"

namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1)) ++n;
  return n;
}

class FileCopyTest : public GenTest {
 protected:
  FileCopyTest() {
    dir_.MakeDir("out");
    prefix_ = dir_.Path("out") + kPathSeparator;
  }
  std::string TemplateDir(const std::string& name) {
    dir_.MakeDir(name);
    return dir_.Path(name) + kPathSeparator;
  }
  void LoadMainConfig(const std::string& text) {
    ASSERT_EQ(0, main_config_.LoadFromBytes(text));
  }
  std::string prefix_;
};

TEST_F(FileCopyTest, NegativeListComparesWholeUpperCasedPaths) {
  gen_.AddToNegativeList(dir_.Path("tpl/Bild\xE4.gif"));
  EXPECT_TRUE(gen_.IsOnNegativeList(dir_.Path("tpl/BILD\xC4.GIF")));
  EXPECT_FALSE(gen_.IsOnNegativeList("Bild\xE4.gif"));
  EXPECT_FALSE(gen_.IsOnNegativeList(dir_.Path("tpl/Bild.gif")));
}

TEST_F(FileCopyTest, CopiesPlainFilesExceptNegativeListAndExistingPages) {
  std::string tpl = TemplateDir("tpl");
  dir_.Write("tpl/t.htm", "template");
  dir_.Write("tpl/page.ini", "[Vorlage]");
  dir_.Write("tpl/bild.gif", "gif");
  dir_.Write("tpl/index.htm", "template index");
  dir_.MakeDir("tpl/img");
  dir_.Write("tpl/img/inner.gif", "inner");
  dir_.Write("out/index.htm", "page");
  gen_.AddToNegativeList(dir_.Path("TPL/T.HTM"));
  gen_.AddToNegativeList(dir_.Path("tpl/page.ini"));

  EXPECT_EQ(GenResult::kOk, gen_.CopyTemplateFiles({tpl}, prefix_));
  EXPECT_EQ("gif", dir_.Read("out/bild.gif"));
  EXPECT_EQ("page", dir_.Read("out/index.htm"));
  EXPECT_EQ(PathKind::kNothing, SystemPlatform().FindPath(dir_.Path("out/t.htm")));
  EXPECT_EQ(PathKind::kNothing, SystemPlatform().FindPath(dir_.Path("out/page.ini")));
  EXPECT_EQ(PathKind::kNothing, SystemPlatform().FindPath(dir_.Path("out/img")));
  EXPECT_EQ(PathKind::kNothing, SystemPlatform().FindPath(dir_.Path("out/inner.gif")));
}

TEST_F(FileCopyTest, EarlierDirectoryProvidesSharedNameAndMissingOneIsSkipped) {
  std::string first = TemplateDir("a");
  std::string second = TemplateDir("b");
  dir_.Write("a/style.css", "a");
  dir_.Write("b/style.css", "b");
  dir_.Write("b/only.js", "b");
  EXPECT_EQ(GenResult::kOk, gen_.CopyTemplateFiles(
                                {first, dir_.Path("missing") + kPathSeparator, second}, prefix_));
  EXPECT_EQ("a", dir_.Read("out/style.css"));
  EXPECT_EQ("b", dir_.Read("out/only.js"));
}

TEST_F(FileCopyTest, EmptyTemplateDirectoryCopiesNothing) {
  EXPECT_EQ(GenResult::kOk, gen_.CopyTemplateFiles({""}, prefix_));
  EXPECT_TRUE(platform_->listed.empty());
  std::vector<FindEntry> entries;
  ASSERT_TRUE(SystemPlatform().ListDirectory(dir_.Path("out"), &entries));
  EXPECT_TRUE(entries.empty());
}

TEST_F(FileCopyTest, FailedCopyEndsThePhase) {
  EnableLog();
  std::string first = TemplateDir("a");
  std::string second = TemplateDir("b");
  dir_.Write("a/1.gif", "1");
  dir_.Write("a/2.gif", "2");
  dir_.Write("b/3.gif", "3");
  EXPECT_EQ(GenResult::kCopyFailed, gen_.CopyTemplateFiles({first, second}, dir_.Path("nowhere") + kPathSeparator));
  std::string log = LogText();
  EXPECT_EQ(1u, Count(log, "Kopiere Datei von:"));
  EXPECT_EQ(1u, Count(log, "Fehler beim Kopieren."));
}

TEST_F(FileCopyTest, CopyFailingMidwayLeavesTheRestUncopied) {
  EnableLog();
  std::string tpl = TemplateDir("tpl");
  dir_.Write("tpl/a.gif", "a");
  dir_.Write("tpl/b.gif", "b");
  dir_.Write("tpl/c.gif", "c");
  // Listing order is the file system's; whichever comes second fails.
  std::vector<FindEntry> entries;
  ASSERT_TRUE(SystemPlatform().ListDirectory(tpl, &entries));
  ASSERT_EQ(3u, entries.size());
  CUtil second;
  second.SplitPathLocal(entries[1].path);
  platform_->Fail(FileOp::kCopy, prefix_ + second.file_name + second.extension);
  EXPECT_EQ(GenResult::kCopyFailed, gen_.CopyTemplateFiles({tpl}, prefix_));
  CUtil first, third;
  first.SplitPathLocal(entries[0].path);
  third.SplitPathLocal(entries[2].path);
  EXPECT_NE("", dir_.Read("out/" + first.file_name + first.extension));
  EXPECT_EQ("", dir_.Read("out/" + second.file_name + second.extension));
  EXPECT_EQ("", dir_.Read("out/" + third.file_name + third.extension));
  std::string log = LogText();
  EXPECT_EQ(2u, Count(log, "Kopiere Datei von:"));
  EXPECT_EQ(1u, Count(log, "Fehler beim Kopieren."));
}

TEST_F(FileCopyTest, CopyListResultIsThatOfTheLastEntry) {
  EnableLog();
  platform_->SetEnvVar("PAGETRIX_TEST_OUT", dir_.Path("out"));
  dir_.Write("src.txt", "new");
  dir_.Write("out/dst.txt", "old");
  std::string sep(1, kPathSeparator);
  LoadMainConfig("[Kopieren]\r\n0=" + dir_.Path("src.txt") + "|%PAGETRIX_TEST_OUT%" + sep +
                 "dst.txt\r\n1=" + dir_.Path("src.txt") + "|" + dir_.Path("no/dir.txt") +
                 "\r\n2=" + dir_.Path("src.txt") + " | " + dir_.Path("out/second.txt") + "\r\n");
  EXPECT_EQ(GenResult::kOk, gen_.CopyListEntries());
  EXPECT_EQ("new", dir_.Read("out/dst.txt"));
  EXPECT_EQ("new", dir_.Read("out/second.txt"));
  std::string log = LogText();
  EXPECT_EQ(3u, Count(log, "Kopiere Datei von:"));
  EXPECT_EQ(1u, Count(log, "Fehler beim Kopieren."));
  EXPECT_EQ(1u, Count(log, "ist bereits im Ausgabeverzeichnis vorhanden."));
}

TEST_F(FileCopyTest, CopyListEntryWithoutTargetIsLogicalError) {
  EnableLog();
  dir_.Write("src.txt", "new");
  LoadMainConfig("[Kopieren]\r\n0=" + dir_.Path("src.txt") + "\r\n1=|" + dir_.Path("x") + "\r\n");
  EXPECT_EQ(GenResult::kCopyFailed, gen_.CopyListEntries());
  EXPECT_EQ(
      "Logischer Fehler in der Sektion [KOPIEREN]. Es m\xFCssen Quell- und Zieldatei angegeben "
      "werden. \r\nLogischer Fehler in der Sektion [KOPIEREN]. Es m\xFCssen Quell- und Zieldatei "
      "angegeben werden. \r\n",
      LogText());
}

}  // namespace
