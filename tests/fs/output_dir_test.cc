#include <gtest/gtest.h>

#include <filesystem>
#include <map>
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

class OutputDirTest : public ::testing::Test {
 protected:
  OutputDirTest() {
    platform_->unix_time = kNow;
    platform_->tick_count = 0;
    platform_->temp_dir = dir_.path() + kPathSeparator;
  }

  // An output directory of the given age holding one file.
  void MakeOld(const std::string& name, std::int64_t age_seconds) {
    ASSERT_TRUE(dir_.MakeDir("Pagetrix/" + name));
    ASSERT_TRUE(dir_.Write("Pagetrix/" + name + "/index.htm", "x"));
    platform_->creation_times[name] = kNow - age_seconds;
  }
  bool Exists(const std::string& name) {
    return SystemPlatform().FindPath(dir_.Path(name)) != PathKind::kNothing;
  }
  void SetLoeschStd(const std::string& line) {
    main_config_.LoadFromBytes("[Pagetrix]\r\n" + line + "\r\n");
  }
  // Deletes with the given LoeschStd line; the names of the survivors.
  std::vector<std::string> Survivors(const std::string& line,
                                     const std::map<std::string, std::int64_t>& ages) {
    RemoveTree(dir_.Path("Pagetrix"));
    platform_->creation_times.clear();
    for (const auto& [name, age] : ages) MakeOld(name, age);
    SetLoeschStd(line);
    gen_.DeleteOldOutputDirectories();
    std::vector<std::string> left;
    for (const auto& [name, age] : ages)
      if (Exists("Pagetrix/" + name)) left.push_back(name);
    return left;
  }

  ScopedPlatform platform_;
  TempDir dir_;
  CRunLog log_;
  CIniFile main_config_;
  LinkFilter filter_;
  CRightsReport report_;
  CGenHtml gen_{log_, main_config_, filter_, report_};
};

using Names = std::vector<std::string>;

TEST_F(OutputDirTest, BaseDirectoryGetsOneSeparator) {
  const std::string sep(1, kPathSeparator);
  std::string base;
  platform_->temp_dir = "T";
  gen_.GetOutputBaseDirectory(base);
  EXPECT_EQ("T" + sep + "Pagetrix" + sep, base);
  platform_->temp_dir = "T" + sep;
  gen_.GetOutputBaseDirectory(base);
  EXPECT_EQ("T" + sep + "Pagetrix" + sep, base);
}

TEST_F(OutputDirTest, PublishedPathHasNoSeparatorButPrefixHasOne) {
  platform_->guid_texts = {"{0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718}"};
  gen_.InitOutputDirectory();
  const std::string expected = dir_.Path("Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718");
  EXPECT_EQ(expected, gen_.OutputDirectoryPath());
  std::string published;
  ASSERT_TRUE(GetPlatform().GetEnvVar("PagetrixAusgabePath", &published));
  EXPECT_EQ(expected, published);
  EXPECT_FALSE(Exists("Pagetrix"));
  std::string prefix;
  ASSERT_EQ(GenResult::kOk, gen_.CreateOutputDirectory(prefix));
  EXPECT_EQ(expected + kPathSeparator, prefix);
  EXPECT_EQ(PathKind::kDirectory, SystemPlatform().FindPath(expected));
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

TEST_F(OutputDirTest, NoGuidOrNoTempFolderGivesNoSharedDirectory) {
  platform_->guid_texts = {"{}"};
  gen_.InitOutputDirectory();
  EXPECT_EQ("", gen_.OutputDirectoryPath());
  std::string prefix;
  EXPECT_EQ(GenResult::kNoOutputDirectory, gen_.CreateOutputDirectory(prefix));
  EXPECT_FALSE(Exists("Pagetrix"));
  platform_->temp_dir = "";
  gen_.InitOutputDirectory();
  EXPECT_EQ(GenResult::kNoOutputDirectory, gen_.CreateOutputDirectory(prefix));
}

TEST_F(OutputDirTest, ThresholdFromLoeschStd) {
  const std::map<std::string, std::int64_t> ages = {
      {"h0", 0}, {"h23", 24 * kHour - 60}, {"h24", 24 * kHour}, {"h47", 47 * kHour},
      {"h48", 48 * kHour}, {"future", -2 * kHour}};
  EXPECT_EQ((Names{"future", "h0", "h23"}), Survivors("", ages));
  EXPECT_EQ((Names{"future", "h0", "h23"}), Survivors("LoeschStd=", ages));
  EXPECT_EQ((Names{"future", "h0", "h23", "h24", "h47"}), Survivors("LoeschStd=48h", ages));
  EXPECT_EQ((Names{"future"}), Survivors("LoeschStd=0", ages));
  EXPECT_EQ((Names{"future"}), Survivors("LoeschStd=abc", ages));
  EXPECT_EQ((Names{}), Survivors("LoeschStd=-2", ages));
}

TEST_F(OutputDirTest, MinusOneNeverLooksAtTheBaseDirectory) {
  MakeOld("old", 1000 * kHour);
  SetLoeschStd("LoeschStd=-1");
  platform_->listed.clear();
  gen_.DeleteOldOutputDirectories();
  EXPECT_TRUE(platform_->listed.empty());
  EXPECT_TRUE(Exists("Pagetrix/old/index.htm"));
}

TEST_F(OutputDirTest, EmptyDirectoriesAreLoggedButStay) {
  log_.SetPath(dir_.Path("run.log"));
  MakeOld("old", 30 * kHour);
  ASSERT_TRUE(dir_.MakeDir("Pagetrix/old/empty"));
  platform_->creation_times["empty"] = kNow - 30 * kHour;
  ASSERT_TRUE(dir_.Write("Pagetrix/loose.txt", "x"));
  platform_->creation_times["loose.txt"] = kNow - 30 * kHour;
  SetLoeschStd("LoeschStd=24");
  gen_.DeleteOldOutputDirectories();
  EXPECT_FALSE(Exists("Pagetrix/old/index.htm"));
  EXPECT_TRUE(Exists("Pagetrix/old/empty"));
  EXPECT_TRUE(Exists("Pagetrix/loose.txt"));
  log_.Close();
  std::string log = dir_.Read("run.log");
  EXPECT_NE(std::string::npos, log.find(": " + dir_.Path("Pagetrix/old") + "\r\n"));
  EXPECT_NE(std::string::npos, log.find(": " + dir_.Path("Pagetrix/old/empty") + "\r\n"));
  EXPECT_EQ(std::string::npos, log.find("loose.txt"));
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
