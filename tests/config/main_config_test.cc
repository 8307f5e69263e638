#include "config/main_config.h"

#include <gtest/gtest.h>

#include "fs/util.h"
#include "platform/env_block.h"
#include "support/fake_platform.h"
#include "support/print.h"
#include "support/temp_dir.h"

namespace {

// Sets or removes an environment variable for one test.
class ScopedVariable {
 public:
  ScopedVariable(Platform& platform, const std::string& name, const std::string& value)
      : platform_(platform), name_(name) {
    had_ = platform_.GetEnvVar(name, &old_);
    SetEnvVars(platform_, {{name, value}});
  }
  ~ScopedVariable() { SetEnvVars(platform_, {{name_, had_ ? old_ : ""}}); }

 private:
  Platform& platform_;
  std::string name_, old_;
  bool had_ = false;
};

class LocateMainConfigurationTest : public ::testing::Test {
 protected:
  LocateMainConfigurationTest() {
    platform_.program_path = dir_.Path("bin/Seiten.exe");
    platform_.network_name = "";
  }
  FakePlatform platform_;
  TempDir dir_;
};

TEST_F(LocateMainConfigurationTest, PortableFolderWinsWithoutSubfolder) {
  ScopedVariable u3(platform_, "U3_APP_DATA_PATH", dir_.Path("Daten"));
  ScopedVariable appdata(platform_, "APPDATA", dir_.Path("roaming"));
  EXPECT_EQ(dir_.Path("Daten/Seiten.ini"), LocateMainConfiguration(platform_));
  EXPECT_EQ(PathKind::kFolder, GetPathKind(SystemPlatform(), dir_.Path("Daten")));
}

TEST_F(LocateMainConfigurationTest, ApplicationDataGetsProgramFolder) {
  ScopedVariable u3(platform_, "U3_APP_DATA_PATH", "");
  ScopedVariable appdata(platform_, "APPDATA", dir_.Path("roaming"));
  dir_.MakeDir("roaming");
  EXPECT_EQ(dir_.Path("roaming/Seiten/Seiten.ini"), LocateMainConfiguration(platform_));
  EXPECT_EQ(PathKind::kFolder, GetPathKind(SystemPlatform(), dir_.Path("roaming/Seiten")));
}

TEST_F(LocateMainConfigurationTest, BareNameWithoutEitherVariable) {
  ScopedVariable u3(platform_, "U3_APP_DATA_PATH", "");
  ScopedVariable appdata(platform_, "APPDATA", "");
  EXPECT_EQ("Seiten.INI", LocateMainConfiguration(platform_));
}

}  // namespace
