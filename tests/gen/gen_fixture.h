/// A fixture for the page generator's tests: fake platform, temp folder and
/// what a run hands the generator.
#ifndef PAGETRIX_TESTS_GEN_GEN_FIXTURE_H_
#define PAGETRIX_TESTS_GEN_GEN_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"
#include "gen/gen_html.h"
#include "gen/output_folder.h"
#include "support/fake_platform.h"
#include "support/print.h"
#include "support/temp_dir.h"

class GenTest : public ::testing::Test {
 protected:
  GenTest() {
    platform_.tick_count = 0;
    platform_.network_name = "";
    filter_.start_drive_type = DriveType::kFixed;
  }

  /// Writes `text` as the file `name` of the temp folder and loads it.
  void LoadCommands(const std::string& text, const std::string& name = "cmd.ini") {
    ASSERT_TRUE(dir_.Write(name, text));
    ASSERT_EQ(0, commands_.Load(platform_, dir_.Path(name)));
  }
  /// Turns the run log on, in a folder of its own so that no copy picks it up.
  void EnableLog() {
    dir_.MakeDir("log");
    log_path_ = dir_.Path("log/run.log");
    log_.SetPath(log_path_);
  }
  /// The run log so far, without the "(0 ms) " stamps. The log is closed
  /// to read it and starts anew with the next line, as a next run's would;
  /// the file goes, since its lines have no date line before them, so the
  /// next run would find no run log there to replace.
  std::string LogText() {
    log_.Close();
    log_.SetPath(log_path_);
    std::string text = dir_.Read("log/run.log");
    SystemPlatform().RemoveFile(dir_.Path("log/run.log"), dir_.Path("log"));
    const std::string stamp = "(0 ms) ";
    for (size_t pos = text.find(stamp); pos != std::string::npos; pos = text.find(stamp, pos))
      text.erase(pos, stamp.size());
    return text;
  }

  FakePlatform platform_;
  TempDir dir_;
  RunLog log_{platform_};
  std::string log_path_;  ///< empty while the log is off
  CIniFile main_config_;
  LinkFilter filter_;
  RightsReport report_;
  CIniFile commands_;
  OutputFolder folder_{platform_};
  CGenHtml gen_{platform_, log_, main_config_, filter_, report_};
};

#endif  // PAGETRIX_TESTS_GEN_GEN_FIXTURE_H_
