/// A fixture for the page generator's tests: fake platform, temp folder, application object.
#ifndef PAGETRIX_TESTS_GEN_GEN_FIXTURE_H_
#define PAGETRIX_TESTS_GEN_GEN_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/pagetrix_app.h"
#include "config/ini_file.h"
#include "gen/gen_html.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"

/// The test platform, also recording which directories are listed.
class ListingPlatform : public FakePlatform {
 public:
  bool ListDirectory(const std::string& dir, std::vector<FindEntry>* entries) override {
    listed.push_back(dir);
    return FakePlatform::ListDirectory(dir, entries);
  }
  std::vector<std::string> listed;
};

/// Installs a ListingPlatform for its lifetime.
class ScopedListingPlatform {
 public:
  ScopedListingPlatform() : previous_(SetPlatform(&fake_)) {}
  ~ScopedListingPlatform() { SetPlatform(previous_); }
  ListingPlatform* operator->() { return &fake_; }

 private:
  ListingPlatform fake_;
  Platform* previous_;
};

class GenTest : public ::testing::Test {
 protected:
  GenTest() {
    platform_->tick_count = 0;
    platform_->network_name = "";
    app_.Location().drive_type = 3;
  }

  /// Writes `text` as the file `name` of the temp folder and loads it.
  void LoadCommands(const std::string& text, const std::string& name = "cmd.ini") {
    ASSERT_TRUE(dir_.Write(name, text));
    ASSERT_EQ(0, commands_.Load(dir_.Path(name)));
  }
  /// Turns the run log on, in a folder of its own so that no copy picks it up.
  void EnableLog() {
    dir_.MakeDir("log");
    app_.RunLog().SetPath(dir_.Path("log/run.log"));
  }
  /// The run log so far, without the "(0 ms) " stamps.
  std::string LogText() {
    app_.RunLog().Close();
    std::string text = dir_.Read("log/run.log");
    const std::string stamp = "(0 ms) ";
    for (size_t pos = text.find(stamp); pos != std::string::npos; pos = text.find(stamp, pos))
      text.erase(pos, stamp.size());
    return text;
  }

  ScopedListingPlatform platform_;
  TempDir dir_;
  CPagetrixApp app_;
  CIniFile commands_;
  CGenHtml gen_;
};

#endif  // PAGETRIX_TESTS_GEN_GEN_FIXTURE_H_
