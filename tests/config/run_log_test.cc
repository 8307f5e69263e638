#include "config/run_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_platform.h"
#include "support/temp_dir.h"

namespace {

class RunLogTest : public ::testing::Test {
 protected:
  RunLogTest() {
    platform_->tick_count = 1000;
    log_.SetPath(dir_.Path("run.log"));
  }
  ScopedPlatform platform_;
  TempDir dir_;
  CRunLog log_;
};

TEST_F(RunLogTest, LinesCarryElapsedMillisecondsAndCrLf) {
  log_.Log("first");
  platform_->tick_count = 1250;
  log_.Log("");
  log_.Log("two\nlines\r\nthree");
  log_.Close();
  EXPECT_EQ("(0 ms) first\r\n(250 ms) \r\n(250 ms) two\r\nlines\r\nthree\r\n",
            dir_.Read("run.log"));
}

TEST_F(RunLogTest, ReplacesPreviousLog) {
  dir_.Write("run.log", "old contents that are longer\r\n");
  log_.Log("new");
  log_.Close();
  EXPECT_EQ("(0 ms) new\r\n", dir_.Read("run.log"));
}

TEST_F(RunLogTest, CounterWrapStaysSmall) {
  platform_->tick_count = 0xFFFFFFF0u;
  log_.Log("a");
  platform_->tick_count = 0x10;
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
  CRunLog log;
  log.SetPath(dir_.Path("missing-folder/run.log"));
  EXPECT_TRUE(log.IsEnabled());
  log.Log("x");
  EXPECT_FALSE(log.IsEnabled());
}

TEST_F(RunLogTest, SecondWriterFindsLogLocked) {
  log_.Log("first run");
  CRunLog second;
  second.SetPath(dir_.Path("run.log"));
  second.Log("second run");
  EXPECT_FALSE(second.IsEnabled());
  log_.Close();
  EXPECT_EQ("(0 ms) first run\r\n", dir_.Read("run.log"));
}

TEST(RunLogOffTest, EmptyPathTouchesNothing) {
  TempDir dir;
  CRunLog log;
  log.SetPath("");
  log.Log("ignored");
  EXPECT_FALSE(log.IsEnabled());
}

}  // namespace
