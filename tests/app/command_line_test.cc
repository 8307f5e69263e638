#include "app/command_line.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace {

// Counts help windows instead of showing them.
class RecordingCommandLine : public CMyCommandLineInfo {
 public:
  explicit RecordingCommandLine(FileSystem& files) : CMyCommandLineInfo(files, SystemWindows()) {}
  void ShowHelp() override {
    ++help_count;
    help_shown = true;
  }
  int help_count = 0;
};

class CommandLineTest : public ::testing::Test {
 protected:
  RecordingCommandLine Parse(const std::string& text) {
    RecordingCommandLine info(platform_);
    info.ParseCommandLine(text);
    return info;
  }
  FakePlatform platform_;
};

TEST_F(CommandLineTest, QuestionMarkInAnyFormShowsHelpAndParsingGoesOn) {
  EXPECT_EQ(1, Parse("?").help_count);
  EXPECT_EQ(1, Parse("-?").help_count);
  auto info = Parse("/? USER=anna ? start.ini");
  EXPECT_EQ(2, info.help_count);
  EXPECT_EQ("anna", info.user);
  EXPECT_EQ("start.ini", info.command_file);
}

TEST_F(CommandLineTest, KeywordsIgnoreCaseAndPrefix) {
  auto info = Parse("uSeR=Bernd -Server=fs01 /SERVER=fs02 start.ini");
  EXPECT_EQ("Bernd", info.user);
  EXPECT_EQ("fs02", info.server);
  EXPECT_EQ("start.ini", info.command_file);
  EXPECT_EQ(0, info.help_count);
  EXPECT_EQ("", Parse("USER=").user);
}

TEST_F(CommandLineTest, QuotedValueKeepsBlanks) {
  auto info = Parse("\"/USER=Anna Schmidt \" \"C:\\Meine Seiten\\start.ini\"");
  EXPECT_EQ("Anna Schmidt ", info.user);
  EXPECT_EQ("C:\\Meine Seiten\\start.ini", info.command_file);
}

TEST_F(CommandLineTest, FirstPlainArgumentIsTheCommandFile) {
  auto info = Parse("\\\\server\\share\\start.ini second.ini");
  EXPECT_EQ("\\\\server\\share\\start.ini", info.command_file);
  // A backslash before a keyword is skipped for the test only.
  EXPECT_EQ("x", Parse("\\USER=x").user);
}

TEST_F(CommandLineTest, IniAndEnvAreSearchedOrKeptAsWritten) {
  TempDir dir;
  std::string ini = dir.Path("My Pagetrix.ini");
  dir.Write("My Pagetrix.ini", "");
  auto info = Parse("ini=\"" + ini + "\" /ENV=nirgends.env");
  EXPECT_EQ(ini, info.profile_path);
  EXPECT_EQ("nirgends.env", info.environment_file);
  EXPECT_EQ("", info.command_file);
}

TEST_F(CommandLineTest, PrefixedNonKeywordIsIgnoredUnlessItIsAnAbsolutePath) {
  auto info = Parse("-datei.ini");
  EXPECT_EQ("", info.command_file);
  if (kPathSeparator == '/') {
    EXPECT_EQ("/home/x/start.ini", Parse("/home/x/start.ini").command_file);
  } else {
    EXPECT_EQ("", Parse("/datei.ini").command_file);
  }
}

}  // namespace
