#include <algorithm>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "fs/util.h"
#include "gen/gen_fixture.h"
#include "platform/env_block.h"

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
  void LoadMainConfig(const std::string& text) { ASSERT_EQ(0, main_config_.LoadFromBytes(text)); }
  std::string prefix_;
};

TEST_F(FileCopyTest, NegativeListComparesWholeUpperCasedPaths) {
  gen_.AddToNegativeList(dir_.Path("tpl/Bild\xE4.gif"));
  EXPECT_TRUE(gen_.IsOnNegativeList(dir_.Path("tpl/BILD\xC4.GIF")));
  EXPECT_FALSE(gen_.IsOnNegativeList("Bild\xE4.gif"));
  EXPECT_FALSE(gen_.IsOnNegativeList(dir_.Path("tpl/Bild.gif")));
}

// The lookup folds case like the entry: with a lowercase umlaut on either
// side. The pairs of the code page, written out apart from the code.
TEST_F(FileCopyTest, NegativeListLookupFoldsEveryLetterOfTheCodePage) {
  std::vector<std::pair<char, char>> pairs = {
      {'\x9A', '\x8A'}, {'\x9C', '\x8C'}, {'\x9E', '\x8E'}, {'\xFF', '\x9F'}};
  for (int lower = 0xE0; lower <= 0xFE; ++lower) {
    if (lower != 0xF7) pairs.emplace_back(static_cast<char>(lower), static_cast<char>(lower - 32));
  }
  for (int lower = 'a'; lower <= 'z'; ++lower)
    pairs.emplace_back(static_cast<char>(lower), static_cast<char>(lower - 32));
  for (const auto& [lower, upper] : pairs) {
    const std::string stem = dir_.Path("Vorlagen") + kPathSeparator + "Bild";
    CGenHtml gen(platform_, log_, main_config_, filter_, report_);
    gen.AddToNegativeList(stem + upper + ".gif");
    EXPECT_TRUE(gen.IsOnNegativeList(stem + lower + ".gif")) << int(lower & 0xFF);
    EXPECT_TRUE(gen.IsOnNegativeList(stem + upper + ".GIF")) << int(lower & 0xFF);
    CGenHtml other(platform_, log_, main_config_, filter_, report_);
    other.AddToNegativeList(stem + lower + ".gif");
    EXPECT_TRUE(other.IsOnNegativeList(stem + upper + ".gif")) << int(lower & 0xFF);
    EXPECT_TRUE(other.IsOnNegativeList(stem + lower + ".gif")) << int(lower & 0xFF);
  }
  // Letters without a pair in the code page stay as they are.
  gen_.AddToNegativeList(
      dir_.Path("Stra\xDF"
                "e.gif"));
  EXPECT_TRUE(
      gen_.IsOnNegativeList(dir_.Path("STRA\xDF"
                                      "E.GIF")));
  EXPECT_FALSE(gen_.IsOnNegativeList(dir_.Path("STRASSE.GIF")));
  EXPECT_FALSE(
      gen_.IsOnNegativeList(dir_.Path("Stra\xFF"
                                      "e.gif")));
}

// Only plain files are copied: a folder, or a link to one, is skipped like
// any subfolder, wherever the listing puts it; a link to a file is copied
// as the file.
TEST_F(FileCopyTest, LinksToFoldersAreSkippedLinksToFilesCopied) {
  std::string tpl = TemplateDir("tpl");
  dir_.MakeDir("elsewhere/bilder");
  dir_.Write("elsewhere/logo.gif", "logo");
  std::error_code error;
  std::filesystem::create_directory_symlink(dir_.Path("elsewhere/bilder"),
                                            dir_.Path("tpl/a-bilder"), error);
  if (error) GTEST_SKIP() << "no links here: " << error.message();
  std::filesystem::create_directory_symlink(dir_.Path("elsewhere"), dir_.Path("tpl/m-mehr"), error);
  std::filesystem::create_symlink(dir_.Path("elsewhere/logo.gif"), dir_.Path("tpl/logo.gif"),
                                  error);
  dir_.MakeDir("tpl/c-unter");
  for (const char* name : {"b.css", "n.js", "z.gif"}) dir_.Write(std::string("tpl/") + name, name);
  EXPECT_EQ(GenResult::kOk, gen_.CopyTemplateFiles({tpl}, prefix_));
  std::vector<FolderEntry> copied;
  ASSERT_TRUE(SystemPlatform().ListFolder(dir_.Path("out"), &copied));
  std::vector<std::string> names;
  for (const FolderEntry& entry : copied) names.push_back(entry.path.substr(prefix_.size()));
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"b.css", "logo.gif", "n.js", "z.gif"}), names);
  EXPECT_EQ("logo", dir_.Read("out/logo.gif"));
  EXPECT_EQ(PathKind::kFile,
            SystemPlatform().Inspect(prefix_ + "logo.gif", Links::kDoNotFollow).kind);
}

// [Kopieren] never replaces what a process holds open for writing: the
// run's own lock, another run's log. Each is refused with message 207.
TEST_F(FileCopyTest, CopyListRefusesTargetsHeldOpenForWriting) {
  EnableLog();
  dir_.Write("src.txt", "kopiert");
  std::unique_ptr<FolderLock> lock = SystemPlatform().LockFolder(dir_.Path("out"));
  ASSERT_TRUE(lock);
  std::unique_ptr<WritableFile> other_log =
      SystemPlatform().NewWritableFile(dir_.Path("other.log"), true);
  ASSERT_TRUE(other_log && other_log->Append("(0 ms) 08.12.2026 09:27:42\r\n"));
  SetEnvVars(platform_, {{"PagetrixAusgabePath", dir_.Path("out")}});
  const std::string sep(1, kPathSeparator);
  const std::string lock_file = prefix_ + kLockFileName;
  // The lock in another spelling first: on POSIX that is another file.
  LoadMainConfig("[Kopieren]\r\n1=" + dir_.Path("src.txt") + "|%PagetrixAusgabePath%" + sep + "." +
                 sep + "PAGETRIX.LCK\r\n2=" + dir_.Path("src.txt") + "|%PagetrixAusgabePath%" +
                 sep + "Pagetrix.lck\r\n3=" + dir_.Path("src.txt") + "|" + dir_.Path("other.log") +
                 "\r\n");
  EXPECT_EQ(GenResult::kCopyFailed, gen_.CopyListEntries());
  other_log.reset();
  EXPECT_TRUE(SystemPlatform().IsFolderLocked(dir_.Path("out")));
  EXPECT_EQ("(0 ms) 08.12.2026 09:27:42\r\n", dir_.Read("other.log"));
  const std::string log = LogText();
  EXPECT_NE(std::string::npos, log.find("Fehler beim Kopieren.\r\nVon: '" + dir_.Path("src.txt") +
                                        "'\r\nNach: '" + lock_file + "'"));
  EXPECT_NE(std::string::npos, log.find("Nach: '" + dir_.Path("other.log") + "'"));
  EXPECT_EQ(kPathSeparator == '/' ? 2u : 3u, Count(log, "Fehler beim Kopieren."));
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
  EXPECT_EQ(PathKind::kMissing, SystemPlatform().FindPath(dir_.Path("out/t.htm")));
  EXPECT_EQ(PathKind::kMissing, SystemPlatform().FindPath(dir_.Path("out/page.ini")));
  EXPECT_EQ(PathKind::kMissing, SystemPlatform().FindPath(dir_.Path("out/img")));
  EXPECT_EQ(PathKind::kMissing, SystemPlatform().FindPath(dir_.Path("out/inner.gif")));
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
  EXPECT_TRUE(platform_.listed.empty());
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(SystemPlatform().ListFolder(dir_.Path("out"), &entries));
  EXPECT_TRUE(entries.empty());
}

TEST_F(FileCopyTest, FailedCopyEndsThePhase) {
  EnableLog();
  std::string first = TemplateDir("a");
  std::string second = TemplateDir("b");
  dir_.Write("a/1.gif", "1");
  dir_.Write("a/2.gif", "2");
  dir_.Write("b/3.gif", "3");
  EXPECT_EQ(GenResult::kCopyFailed,
            gen_.CopyTemplateFiles({first, second}, dir_.Path("nowhere") + kPathSeparator));
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
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(SystemPlatform().ListFolder(tpl, &entries));
  ASSERT_EQ(3u, entries.size());
  CUtil second;
  second.SplitPathLocal(entries[1].path);
  platform_.Fail(FileOp::kCopy, prefix_ + second.file_name + second.extension);
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
  SetEnvVars(platform_, {{"PAGETRIX_TEST_OUT", dir_.Path("out")}});
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
