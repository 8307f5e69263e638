#include "config/run_log.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/fake_platform.h"
#include "support/special_files.h"
#include "support/temp_dir.h"

namespace {

class RunLogTest : public ::testing::Test {
 protected:
  RunLogTest() {
    platform_.tick_count = 1000;
    log_.SetPath(dir_.Path("run.log"));
  }
  FakePlatform platform_;
  TempDir dir_;
  RunLog log_{platform_};
};

TEST_F(RunLogTest, LinesCarryElapsedMillisecondsAndCrLf) {
  log_.Log("first");
  platform_.tick_count = 1250;
  log_.Log("");
  log_.Log("two\nlines\r\nthree");
  log_.Close();
  EXPECT_EQ("(0 ms) first\r\n(250 ms) \r\n(250 ms) two\r\nlines\r\nthree\r\n",
            dir_.Read("run.log"));
}

TEST_F(RunLogTest, ReplacesPreviousLog) {
  dir_.Write("run.log", "(0 ms) 08.12.2026 09:27:42\r\n(3 ms) old contents that are longer\r\n");
  log_.Log("new");
  log_.Close();
  EXPECT_EQ("(0 ms) new\r\n", dir_.Read("run.log"));
  EXPECT_EQ("", log_.Refusal());
}

// The first line of every run log: elapsed milliseconds and the date line.
// Any byte of it changed is no log any more, except a digit for a digit.
TEST_F(RunLogTest, OnlyTheFormOfALogsFirstLineIsReplaced) {
  platform_.SetLocalTime(2026, 12, 8, 9, 27, 42);
  const std::string first = "(0 ms) " + RunLogDateLine(platform_);
  ASSERT_EQ("(0 ms) 08.12.2026 09:27:42", first);
  EXPECT_TRUE(IsRunLogStart(first + "\r\n"));
  EXPECT_TRUE(IsRunLogStart(first + "\r\n(0 ms) Aktueller User: 'x', Rechte: ''\r\n"));
  EXPECT_TRUE(IsRunLogStart("(16 ms) Invalid DateTime\r\n"));
  std::mt19937 random(25);
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  for (int round = 0; round < 3000; ++round) {
    std::string line = first;
    const size_t at = random() % line.size();
    const char was = line[at];
    line[at] = static_cast<char>(random() % 256);
    const bool same_form = line[at] == was || (is_digit(was) && is_digit(line[at]));
    EXPECT_EQ(same_form, IsRunLogStart(line + "\r\nrest")) << line;
  }
  for (const std::string& head : std::vector<std::string>{
           std::string(), first, first + "\n", first + " \r\n", "\xEF\xBB\xBF" + first + "\r\n",
           "(5 ms) Aktueller User: 'x', Rechte: ''\r\n", "(0 ms)\r\n", "( ms) Invalid DateTime\r\n",
           "[Vorlage]\r\nVorlage=seite.htm\r\n", "<html>\r\n", std::string("GIF89a\0\0", 8)})
    EXPECT_FALSE(IsRunLogStart(head)) << head;
}

// Whatever is not a run log and not missing stays as it was, however the
// run reaches it; folders, pipes and devices are not even opened.
TEST_F(RunLogTest, RefusedPathsAreNeverOpenedAndKeepTheirBytes) {
  const std::map<std::string, std::string> inputs = {
      {"start.ini", "[Seiten]\r\n1=p.ini|Pagetrix.htm\r\n"},
      {"seite.htm", "<html>\r\n<body>LINKS</body>\r\n</html>\r\n"},
      {"bild.gif", std::string("GIF89a\x01\0\x01\0", 10)},
      {"leer.ini", ""},
      {"fast.log", "(0 ms) 08.12.2026\r\n"}};
  for (const auto& [name, bytes] : inputs) ASSERT_TRUE(dir_.Write(name, bytes));
  dir_.MakeDir("sub");
  const std::string sep(1, kPathSeparator);
  std::vector<std::pair<std::string, bool>> paths;  // path, opened to be read
  for (const auto& [name, bytes] : inputs) {
    paths.emplace_back(dir_.Path(name), true);
    paths.emplace_back(dir_.Path("sub") + sep + ".." + sep + name, true);
  }
  for (const char* device : {"COM1", "nul.log", "LPT3.txt", "con", "Aux.htm"})
    paths.emplace_back(dir_.Path(device), false);
  paths.emplace_back(dir_.Path("sub"), false);
  paths.emplace_back(dir_.Path("sub") + sep, false);
  for (const std::string& special : SpecialFiles(dir_)) paths.emplace_back(special, false);
  for (const auto& [path, read] : paths) {
    const std::string refusal = RunLogRefusal(platform_, path);
    EXPECT_NE(std::string::npos, refusal.find("'" + path + "'")) << path;
    platform_.opened.clear();
    RunLog log{platform_};
    log.SetPath(path);
    log.Log(RunLogDateLine(platform_));
    log.Log("second line");
    log.Close();
    EXPECT_FALSE(log.IsEnabled()) << path;
    EXPECT_EQ(refusal, log.Refusal()) << path;
    // Read at its start at most, once; never opened to be written.
    EXPECT_EQ(read ? std::vector<std::string>{path} : std::vector<std::string>{}, platform_.opened)
        << path;
  }
  for (const auto& [name, bytes] : inputs) EXPECT_EQ(bytes, dir_.Read(name)) << name;
}

TEST_F(RunLogTest, MissingFileOrRunLogMayBeWrittenAnotherRunsOpenLogNot) {
  EXPECT_EQ("", RunLogRefusal(platform_, ""));
  EXPECT_EQ("", RunLogRefusal(platform_, dir_.Path("new.log")));
  EXPECT_EQ("", RunLogRefusal(platform_, dir_.Path("missing-folder/run.log")));
  log_.Log(RunLogDateLine(platform_));
  // Held by this run: another run cannot read it, let alone replace it.
  EXPECT_NE("", RunLogRefusal(platform_, dir_.Path("run.log")));
  log_.Close();
  EXPECT_EQ("", RunLogRefusal(platform_, dir_.Path("run.log")));
}

TEST_F(RunLogTest, CounterWrapStaysSmall) {
  platform_.tick_count = 0xFFFFFFF0u;
  log_.Log("a");
  platform_.tick_count = 0x10;
  log_.Log("b");
  log_.Close();
  EXPECT_EQ("(0 ms) a\r\n(32 ms) b\r\n", dir_.Read("run.log"));
}

// Closed while a window shows it to the user: a later line must neither
// empty the file by opening it again nor land in it.
TEST_F(RunLogTest, NothingIsWrittenAfterClose) {
  log_.Log("first");
  log_.LogFailure("failed");
  log_.Close();
  log_.Log("after");
  log_.LogFailure("failed after");
  log_.Close();
  EXPECT_EQ("(0 ms) first\r\n(0 ms) failed\r\n", dir_.Read("run.log"));
  EXPECT_EQ(std::vector<std::string>({"failed", "failed after"}), log_.Failures());
}

TEST_F(RunLogTest, UnopenableLogSwitchesOffSilently) {
  RunLog log{platform_};
  log.SetPath(dir_.Path("missing-folder/run.log"));
  EXPECT_TRUE(log.IsEnabled());
  log.Log("x");
  EXPECT_FALSE(log.IsEnabled());
}

TEST_F(RunLogTest, SecondWriterFindsLogLocked) {
  log_.Log("first run");
  RunLog second{platform_};
  second.SetPath(dir_.Path("run.log"));
  second.Log("second run");
  EXPECT_FALSE(second.IsEnabled());
  log_.Close();
  EXPECT_EQ("(0 ms) first run\r\n", dir_.Read("run.log"));
}

TEST(RunLogOffTest, EmptyPathTouchesNothing) {
  TempDir dir;
  RunLog log{SystemPlatform()};
  log.SetPath("");
  log.Log("ignored");
  EXPECT_FALSE(log.IsEnabled());
}

}  // namespace
