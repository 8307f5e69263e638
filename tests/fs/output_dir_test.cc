#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/pagetrix_app.h"
#include "gen/gen_html.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace {

constexpr std::int64_t kNow = 1700000000;
constexpr std::int64_t kHour = 3600;

// Creation times by the directory's last path component; records listings.
class AgedPlatform : public FakePlatform {
 public:
  bool GetCreationTime(const std::string& path, std::int64_t* seconds) override {
    auto found = created.find(path.substr(path.find_last_of("\\/") + 1));
    if (found == created.end()) return FakePlatform::GetCreationTime(path, seconds);
    *seconds = found->second;
    return true;
  }
  bool ListDirectory(const std::string& dir, std::vector<FindEntry>* entries) override {
    ++listings;
    return FakePlatform::ListDirectory(dir, entries);
  }
  std::map<std::string, std::int64_t> created;
  int listings = 0;
};

void MakeReadOnly(const std::string& path) {
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

class OutputDirTest : public ::testing::Test {
 protected:
  OutputDirTest() {
    previous_ = SetPlatform(&platform_);
    platform_.unix_time = kNow;
    platform_.tick_count = 0;
    platform_.temp_path = dir_.path() + kPathSeparator;
  }
  ~OutputDirTest() override { SetPlatform(previous_); }

  // An output directory of the given age holding one file.
  void MakeOld(const std::string& name, std::int64_t age_seconds) {
    ASSERT_TRUE(dir_.MakeDir("Pagetrix/" + name));
    ASSERT_TRUE(dir_.Write("Pagetrix/" + name + "/index.htm", "x"));
    platform_.created[name] = kNow - age_seconds;
  }
  bool Exists(const std::string& name) { return SystemPlatform().FindPath(dir_.Path(name)) != 0; }
  void SetLoeschStd(const std::string& line) {
    app_.MainConfig().LoadFromBytes("[Pagetrix]\r\n" + line + "\r\n");
  }
  // Deletes with the given LoeschStd line; the names of the survivors.
  std::vector<std::string> Survivors(const std::string& line,
                                     const std::map<std::string, std::int64_t>& ages) {
    RemoveTree(dir_.Path("Pagetrix"));
    platform_.created.clear();
    for (const auto& [name, age] : ages) MakeOld(name, age);
    SetLoeschStd(line);
    gen_.DeleteOldOutputDirectories();
    std::vector<std::string> left;
    for (const auto& [name, age] : ages)
      if (Exists("Pagetrix/" + name)) left.push_back(name);
    return left;
  }

  AgedPlatform platform_;
  Platform* previous_;
  TempDir dir_;
  CPagetrixApp app_;
  CGenHtml gen_;
};

using Names = std::vector<std::string>;

TEST_F(OutputDirTest, BaseDirectoryGetsOneSeparator) {
  const std::string sep(1, kPathSeparator);
  std::string base;
  platform_.temp_path = "T";
  gen_.GetOutputBaseDirectory(base);
  EXPECT_EQ("T" + sep + "Pagetrix" + sep, base);
  platform_.temp_path = "T" + sep;
  gen_.GetOutputBaseDirectory(base);
  EXPECT_EQ("T" + sep + "Pagetrix" + sep, base);
}

TEST_F(OutputDirTest, PublishedPathHasNoSeparatorButPrefixHasOne) {
  platform_.guid_texts = {"{0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718}"};
  gen_.InitOutputDirectory();
  const std::string expected = dir_.Path("Pagetrix/0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718");
  EXPECT_EQ(expected, gen_.OutputDirectoryPath());
  std::string published;
  ASSERT_TRUE(platform_.GetEnvironmentVariable("PagetrixAusgabePath", &published));
  EXPECT_EQ(expected, published);
  EXPECT_FALSE(Exists("Pagetrix"));
  std::string prefix;
  ASSERT_EQ(0, gen_.CreateOutputDirectory(prefix));
  EXPECT_EQ(expected + kPathSeparator, prefix);
  EXPECT_EQ(-1, SystemPlatform().FindPath(expected));
}

TEST_F(OutputDirTest, RealGuidAndBlockedCreation) {
  gen_.InitOutputDirectory();
  std::string name = gen_.OutputDirectoryPath().substr(dir_.Path("Pagetrix/").size());
  EXPECT_EQ(36u, name.size()) << name;
  EXPECT_EQ(std::string::npos, name.find_first_of("{}"));
  ASSERT_TRUE(dir_.Write("Pagetrix", "a file in the way"));
  std::string prefix;
  EXPECT_EQ(3, gen_.CreateOutputDirectory(prefix));
}

TEST_F(OutputDirTest, NoGuidOrNoTempFolderGivesNoSharedDirectory) {
  platform_.guid_texts = {"{}"};
  gen_.InitOutputDirectory();
  EXPECT_EQ("", gen_.OutputDirectoryPath());
  std::string prefix;
  EXPECT_EQ(3, gen_.CreateOutputDirectory(prefix));
  EXPECT_FALSE(Exists("Pagetrix"));
  platform_.temp_path = "";
  gen_.InitOutputDirectory();
  EXPECT_EQ(3, gen_.CreateOutputDirectory(prefix));
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
  platform_.listings = 0;
  gen_.DeleteOldOutputDirectories();
  EXPECT_EQ(0, platform_.listings);
  EXPECT_TRUE(Exists("Pagetrix/old/index.htm"));
}

TEST_F(OutputDirTest, EmptyDirectoriesAreLoggedButStay) {
  app_.RunLog().SetPath(dir_.Path("run.log"));
  MakeOld("old", 30 * kHour);
  ASSERT_TRUE(dir_.MakeDir("Pagetrix/old/empty"));
  platform_.created["empty"] = kNow - 30 * kHour;
  ASSERT_TRUE(dir_.Write("Pagetrix/loose.txt", "x"));
  platform_.created["loose.txt"] = kNow - 30 * kHour;
  SetLoeschStd("LoeschStd=24");
  gen_.DeleteOldOutputDirectories();
  EXPECT_FALSE(Exists("Pagetrix/old/index.htm"));
  EXPECT_TRUE(Exists("Pagetrix/old/empty"));
  EXPECT_TRUE(Exists("Pagetrix/loose.txt"));
  app_.RunLog().Close();
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

}  // namespace
