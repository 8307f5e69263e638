#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"
#include "fs/output_dir.h"
#include "gen/gen_html.h"
#include "support/fake_platform.h"
#include "support/print.h"
#include "support/temp_dir.h"

namespace {

constexpr std::int64_t kNow = 1700000000;
constexpr std::int64_t kHour = 3600;

void MakeReadOnly(const std::string& path) {
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

// A name of the form the program gives its output folders, made from a
// short label so that tests can speak of "old" and "h24".
std::string Guid(const std::string& label) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : label.substr(0, 16)) {
    hex += kHex[c >> 4];
    hex += kHex[c & 15];
  }
  hex.resize(32, '0');
  return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" +
         hex.substr(16, 4) + "-" + hex.substr(20);
}

class OutputDirTest : public ::testing::Test {
 protected:
  OutputDirTest() {
    platform_.unix_time = kNow;
    platform_.tick_count = 0;
    platform_.temp_dir = dir_.path() + kPathSeparator;
  }

  // An output directory of the given age holding one file, last written
  // to an hour ago at the latest.
  void MakeOld(const std::string& label, std::int64_t age_seconds) {
    const std::string name = Guid(label);
    ASSERT_TRUE(dir_.MakeDir("Pagetrix/" + name));
    ASSERT_TRUE(dir_.Write("Pagetrix/" + name + "/index.htm", "x"));
    platform_.creation_times[name] = kNow - age_seconds;
    platform_.write_times[name] = kNow - std::max<std::int64_t>(age_seconds, kHour);
  }
  bool Exists(const std::string& name) {
    return SystemPlatform().FindPath(dir_.Path(name)) != PathKind::kMissing;
  }
  void SetLoeschStd(const std::string& line) {
    main_config_.LoadFromBytes("[Pagetrix]\r\n" + line + "\r\n");
  }
  // Deletes with the given LoeschStd line; the names of the survivors.
  std::vector<std::string> Survivors(const std::string& line,
                                     const std::map<std::string, std::int64_t>& ages) {
    RemoveTree(dir_.Path("Pagetrix"));
    platform_.creation_times.clear();
    for (const auto& [name, age] : ages) MakeOld(name, age);
    SetLoeschStd(line);
    gen_.DeleteOldOutputDirectories();
    std::vector<std::string> left;
    for (const auto& [name, age] : ages)
      if (Exists("Pagetrix/" + Guid(name))) left.push_back(name);
    return left;
  }

  FakePlatform platform_;
  TempDir dir_;
  RunLog log_{platform_};
  CIniFile main_config_;
  LinkFilter filter_;
  RightsReport report_;
  CGenHtml gen_{platform_, log_, main_config_, filter_, report_};
};

using Names = std::vector<std::string>;

TEST_F(OutputDirTest, BaseDirectoryGetsOneSeparator) {
  const std::string sep(1, kPathSeparator);
  std::string base;
  platform_.temp_dir = "T";
  gen_.GetOutputBaseDirectory(base);
  EXPECT_EQ("T" + sep + "Pagetrix" + sep, base);
  platform_.temp_dir = "T" + sep;
  gen_.GetOutputBaseDirectory(base);
  EXPECT_EQ("T" + sep + "Pagetrix" + sep, base);
}

TEST_F(OutputDirTest, PublishedPathHasNoSeparatorButPrefixHasOne) {
  platform_.guid_texts = {"{0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718}"};
  gen_.InitOutputDirectory();
  const std::string expected = dir_.Path("Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718");
  EXPECT_EQ(expected, gen_.OutputDirectoryPath());
  std::string published;
  ASSERT_TRUE(platform_.GetEnvVar("PagetrixAusgabePath", &published));
  EXPECT_EQ(expected, published);
  EXPECT_FALSE(Exists("Pagetrix"));
  std::string prefix;
  ASSERT_EQ(GenResult::kOk, gen_.CreateOutputDirectory(prefix));
  EXPECT_EQ(expected + kPathSeparator, prefix);
  EXPECT_EQ(PathKind::kFolder, SystemPlatform().FindPath(expected));
}

TEST_F(OutputDirTest, RealGuidAndBlockedCreation) {
  gen_.InitOutputDirectory();
  std::string name = gen_.OutputDirectoryPath().substr(dir_.Path("Pagetrix/").size());
  EXPECT_EQ(36u, name.size()) << name;
  EXPECT_EQ(std::string::npos, name.find_first_of("{}"));
  ASSERT_TRUE(dir_.Write("Pagetrix", "a file in the way"));
  std::string prefix;
  EXPECT_EQ(GenResult::kNoOutputDirectory, gen_.CreateOutputDirectory(prefix));
}

// A base that is another user's, or lies behind another user's folder or
// link, is looked at before anything is made, and again once it is there:
// another user may have put it there in between.
TEST_F(OutputDirTest, BaseOfAnotherUserIsNeverWrittenInto) {
  platform_.guid_texts = {"{0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718}",
                          "{11111111-2222-4333-8444-555555555555}"};
  gen_.InitOutputDirectory();
  const std::string base = dir_.Path("Pagetrix");
  std::vector<std::string> asked;
  platform_.own_place = [&](const std::string& path) {
    asked.push_back(path);
    return false;
  };
  std::string prefix;
  EXPECT_EQ(GenResult::kNoOutputDirectory, gen_.CreateOutputDirectory(prefix));
  EXPECT_EQ(std::vector<std::string>{base}, asked);
  EXPECT_FALSE(Exists("Pagetrix"));
  // Someone else's once it exists: the run's own folder is never made in it.
  asked.clear();
  platform_.own_place = [&](const std::string& path) {
    asked.push_back(path);
    return SystemPlatform().FindPath(path) == PathKind::kMissing;
  };
  gen_.InitOutputDirectory();
  EXPECT_EQ(GenResult::kNoOutputDirectory, gen_.CreateOutputDirectory(prefix));
  EXPECT_EQ((std::vector<std::string>{base, base}), asked);
  EXPECT_TRUE(Exists("Pagetrix"));
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(SystemPlatform().ListFolder(base, &entries));
  EXPECT_TRUE(entries.empty());
}

TEST_F(OutputDirTest, NoGuidOrNoTempFolderGivesNoSharedDirectory) {
  platform_.guid_texts = {"{}"};
  gen_.InitOutputDirectory();
  EXPECT_EQ("", gen_.OutputDirectoryPath());
  std::string prefix;
  EXPECT_EQ(GenResult::kNoOutputDirectory, gen_.CreateOutputDirectory(prefix));
  EXPECT_FALSE(Exists("Pagetrix"));
  platform_.temp_dir = "";
  CGenHtml without_temp(platform_, log_, main_config_, filter_, report_);
  without_temp.InitOutputDirectory();
  EXPECT_EQ(GenResult::kNoOutputDirectory, without_temp.CreateOutputDirectory(prefix));
}

TEST_F(OutputDirTest, ThresholdFromLoeschStd) {
  const std::map<std::string, std::int64_t> ages = {{"h0", 0},           {"h23", 24 * kHour - 60},
                                                    {"h24", 24 * kHour}, {"h47", 47 * kHour},
                                                    {"h48", 48 * kHour}, {"future", -2 * kHour}};
  EXPECT_EQ((Names{"future", "h0", "h23"}), Survivors("", ages));
  EXPECT_EQ((Names{"future", "h0", "h23"}), Survivors("LoeschStd=", ages));
  EXPECT_EQ((Names{"future", "h0", "h23", "h24", "h47"}), Survivors("LoeschStd=48h", ages));
  EXPECT_EQ((Names{"future"}), Survivors("LoeschStd=0", ages));
  // A value that is no number deletes nothing (not: everything).
  const Names all = {"future", "h0", "h23", "h24", "h47", "h48"};
  EXPECT_EQ(all, Survivors("LoeschStd=abc", ages));
  EXPECT_EQ(all, Survivors("LoeschStd=nie", ages));
}

// -1 means "never"; so does any other negative value, however far below
// the integer range it reaches (read there, it once meant "delete all").
TEST_F(OutputDirTest, NegativeValuesNeverLookAtTheBaseDirectory) {
  MakeOld("old", 1000 * kHour);
  for (const char* never :
       {"LoeschStd=-1", "LoeschStd=-2", "LoeschStd= -7 Stunden", "LoeschStd=-2147483648",
        "LoeschStd=-2147483649", "LoeschStd=-99999999999999999999999"}) {
    SetLoeschStd(never);
    platform_.listed.clear();
    gen_.DeleteOldOutputDirectories();
    EXPECT_TRUE(platform_.listed.empty()) << never;
    EXPECT_TRUE(Exists("Pagetrix/" + Guid("old") + "/index.htm")) << never;
  }
}

TEST_F(OutputDirTest, EmptyDirectoriesAreLoggedButStay) {
  log_.SetPath(dir_.Path("run.log"));
  const std::string old = "Pagetrix/" + Guid("old");
  MakeOld("old", 30 * kHour);
  ASSERT_TRUE(dir_.MakeDir(old + "/empty"));
  ASSERT_TRUE(dir_.Write("Pagetrix/loose.txt", "x"));
  platform_.creation_times["loose.txt"] = kNow - 30 * kHour;
  SetLoeschStd("LoeschStd=24");
  gen_.DeleteOldOutputDirectories();
  EXPECT_FALSE(Exists(old + "/index.htm"));
  EXPECT_TRUE(Exists(old + "/empty"));
  EXPECT_TRUE(Exists("Pagetrix/loose.txt"));
  log_.Close();
  // Only the output folder itself is judged and logged; what is inside goes with it.
  std::string log = dir_.Read("run.log");
  EXPECT_NE(std::string::npos, log.find(": " + dir_.Path(old) + "\r\n"));
  EXPECT_EQ(std::string::npos, log.find("empty"));
  EXPECT_EQ(std::string::npos, log.find("loose.txt"));
}

TEST_F(OutputDirTest, OnlyFoldersNamedLikeOutputFoldersGo) {
  MakeOld("old", 30 * kHour);
  for (const std::string& name :
       {std::string("Meine Daten"), "{" + Guid("braced") + "}", Guid("toolong") + "0"}) {
    ASSERT_TRUE(dir_.MakeDir("Pagetrix/" + name));
    ASSERT_TRUE(dir_.Write("Pagetrix/" + name + "/brief.doc", "mine"));
    platform_.creation_times[name] = kNow - 30 * kHour;
    platform_.write_times[name] = kNow - 30 * kHour;
  }
  SetLoeschStd("LoeschStd=0");
  gen_.DeleteOldOutputDirectories();
  EXPECT_FALSE(Exists("Pagetrix/" + Guid("old")));
  EXPECT_EQ("mine", dir_.Read("Pagetrix/Meine Daten/brief.doc"));
  EXPECT_EQ("mine", dir_.Read("Pagetrix/{" + Guid("braced") + "}/brief.doc"));
  EXPECT_EQ("mine", dir_.Read("Pagetrix/" + Guid("toolong") + "0/brief.doc"));
}

TEST_F(OutputDirTest, FoldersOfRunsStillWorkingStay) {
  MakeOld("young", 2 * kHour);
  platform_.write_times[Guid("young")] = kNow - 30;  // written to half a minute ago
  MakeOld("locked", 2 * kHour);
  std::unique_ptr<FolderLock> lock =
      SystemPlatform().LockFolder(dir_.Path("Pagetrix/" + Guid("locked")));
  ASSERT_TRUE(lock);
  SetLoeschStd("LoeschStd=0");
  gen_.DeleteOldOutputDirectories();
  EXPECT_TRUE(Exists("Pagetrix/" + Guid("young") + "/index.htm"));
  EXPECT_TRUE(Exists("Pagetrix/" + Guid("locked") + "/index.htm"));
  // Its run has launched the start program: now the folder may go.
  lock.reset();
  EXPECT_FALSE(Exists("Pagetrix/" + Guid("locked") + "/" + kLockFileName));
  gen_.DeleteOldOutputDirectories();
  EXPECT_FALSE(Exists("Pagetrix/" + Guid("locked")));
}

TEST_F(OutputDirTest, TheRunLocksItsFolderUntilTheGeneratorEnds) {
  platform_.guid_texts = {"{" + Guid("mine") + "}"};
  {
    CGenHtml gen{platform_, log_, main_config_, filter_, report_};
    gen.InitOutputDirectory();
    std::string prefix;
    ASSERT_EQ(GenResult::kOk, gen.CreateOutputDirectory(prefix));
    EXPECT_TRUE(SystemPlatform().IsFolderLocked(gen.OutputDirectoryPath()));
  }
  EXPECT_FALSE(SystemPlatform().IsFolderLocked(dir_.Path("Pagetrix/" + Guid("mine"))));
  EXPECT_FALSE(Exists("Pagetrix/" + Guid("mine") + "/" + kLockFileName));
}

TEST_F(OutputDirTest, ABaseThatIsALinkIsNotCleaned) {
  if (kPathSeparator != '/') GTEST_SKIP() << "links are tested on the POSIX build";
  namespace fs = std::filesystem;
  ASSERT_TRUE(dir_.MakeDir("elsewhere/" + Guid("old")));
  ASSERT_TRUE(dir_.Write("elsewhere/" + Guid("old") + "/user.doc", "mine"));
  platform_.creation_times[Guid("old")] = kNow - 30 * kHour;
  platform_.write_times[Guid("old")] = kNow - 30 * kHour;
  std::error_code error;
  fs::create_directory_symlink(dir_.Path("elsewhere"), dir_.Path("Pagetrix"), error);
  ASSERT_FALSE(error) << error.message();
  SetLoeschStd("LoeschStd=0");
  gen_.DeleteOldOutputDirectories();
  EXPECT_EQ("mine", dir_.Read("elsewhere/" + Guid("old") + "/user.doc"));
}

TEST_F(OutputDirTest, DeleteTreeRemovesReadOnlyFiles) {
  ASSERT_TRUE(dir_.MakeDir("tree"));
  for (const char* name : {"tree/a.htm", "tree/b.gif"}) {
    ASSERT_TRUE(dir_.Write(name, "x"));
    MakeReadOnly(dir_.Path(name));
  }
  gen_.DeleteDirectoryTree(dir_.Path("tree"));
  EXPECT_FALSE(Exists("tree"));
}

TEST_F(OutputDirTest, DeleteTreeLeavesDirectoriesThatHoldDirectories) {
  ASSERT_TRUE(dir_.MakeDir("tree/empty"));
  ASSERT_TRUE(dir_.MakeDir("tree/sub"));
  ASSERT_TRUE(dir_.Write("tree/a.htm", "x"));
  ASSERT_TRUE(dir_.Write("tree/sub/b.gif", "x"));
  MakeReadOnly(dir_.Path("tree/sub/b.gif"));
  gen_.DeleteDirectoryTree(dir_.Path("tree"));
  EXPECT_FALSE(Exists("tree/a.htm"));
  EXPECT_FALSE(Exists("tree/sub"));
  EXPECT_TRUE(Exists("tree/empty"));
}

TEST_F(OutputDirTest, DeleteTreeRemovesLinksButNeverTouchesWhatTheyPointTo) {
  // Wine makes POSIX links that Win32 sees as plain files, not reparse points.
  if (kPathSeparator != '/') GTEST_SKIP() << "links are tested on the POSIX build";
  namespace fs = std::filesystem;
  ASSERT_TRUE(dir_.MakeDir("outside/folder"));
  ASSERT_TRUE(dir_.Write("outside/kept.txt", "kept"));
  ASSERT_TRUE(dir_.Write("outside/folder/inner.txt", "inner"));
  MakeReadOnly(dir_.Path("outside/kept.txt"));
  ASSERT_TRUE(dir_.MakeDir("tree"));
  ASSERT_TRUE(dir_.Write("tree/a.htm", "x"));
  std::error_code error;
  fs::create_symlink(dir_.Path("outside/kept.txt"), dir_.Path("tree/link.txt"), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  fs::create_directory_symlink(dir_.Path("outside/folder"), dir_.Path("tree/folder"), error);
  ASSERT_FALSE(error) << error.message();
  const auto before = fs::status(dir_.Path("outside/kept.txt")).permissions();

  gen_.DeleteDirectoryTree(dir_.Path("tree"));

  EXPECT_FALSE(Exists("tree"));
  EXPECT_EQ("kept", dir_.Read("outside/kept.txt"));
  EXPECT_EQ(before, fs::status(dir_.Path("outside/kept.txt")).permissions());
  EXPECT_EQ(fs::perms::none, before & fs::perms::owner_write);
  EXPECT_EQ("inner", dir_.Read("outside/folder/inner.txt"));
}

}  // namespace
