#include "config/environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "config/run_log.h"
#include "platform/env_block.h"
#include "support/fake_platform.h"
#include "support/print.h"
#include "support/temp_dir.h"

namespace {

std::string Replaced(std::string value, const std::string& placeholder,
                     const std::string& replacement) {
  ReplacePlaceholder(value, placeholder, replacement);
  return value;
}

TEST(ReplacePlaceholderTest, OnlyTheLeftmostTokenIsReplaced) {
  EXPECT_EQ("G:\\x", Replaced("%startlw%\\x", "%StartLW%", "G:"));
  EXPECT_EQ("rr-", Replaced("%A%%a%-", "%A%", "r"));
  EXPECT_EQ("%B%\\%A%", Replaced("%B%\\%A%", "%A%", "r"));
  // A stray percent sign before the placeholder blocks it.
  EXPECT_EQ("50%\\%A%", Replaced("50%\\%A%", "%A%", "r"));
  EXPECT_EQ("x%A", Replaced("x%A", "%A%", "r"));
  EXPECT_EQ("x%", Replaced("x%", "%A%", "r"));
  EXPECT_EQ("", Replaced("", "%A%", "r"));
}

TEST(ReplacePlaceholderTest, InsertedPercentSignsStillBlockLikeAnyOther) {
  EXPECT_EQ("50%%A%", Replaced("%A%%A%", "%A%", "50%"));
  EXPECT_EQ("%B%x%A%", Replaced("%A%%A%", "%A%", "%B%x"));
  // The shrinking case ends on its own: "%A" + "%" forms %A% once more.
  EXPECT_EQ("%A", Replaced("%A%%", "%A%", "%A"));
}

TEST(ReplacePlaceholderTest, SelfReplacementEnds) {
  EXPECT_EQ("%X%", Replaced("%X%", "%X%", "%X%"));
  EXPECT_EQ("a%x%\\a%x%b", Replaced("%X%\\%X%b", "%X%", "a%x%"));
  EXPECT_EQ("%X%\\%Y%", Replaced("%X%\\%Y%", "%X%", "%X%"));
}

class StartLocationTest : public ::testing::Test {
 protected:
  StartLocation Determine(const std::string& module, const std::string& server = "") {
    platform_.program_path = module;
    StartLocation location;
    DetermineStartLocation(platform_, server, location);
    return location;
  }
  FakePlatform platform_;
};

TEST_F(StartLocationTest, PathWithoutDriveUsesItsDirectory) {
  platform_.network_name = "";
  platform_.drive_type = DriveType::kUnknown;
  StartLocation location = Determine("\\\\host\\share\\dir\\\\Pagetrix.exe");
  EXPECT_EQ("\\\\host\\share\\dir", location.start_drive);
  EXPECT_EQ("host", location.current_server);
  EXPECT_EQ("Environment", location.environment_section);

  platform_.drive_types["/opt/pagetrix"] = DriveType::kRamDisk;
  location = Determine("/opt/pagetrix/pagetrix");
  EXPECT_EQ("/opt/pagetrix", location.start_drive);
  EXPECT_EQ("/opt/pagetrix", location.current_server);
  EXPECT_EQ("Environment_RAMDISK", location.environment_section);
}

TEST_F(StartLocationTest, ServerOverrideKeepsDriveAndSection) {
  platform_.network_name = "";
  platform_.drive_types["D:"] = DriveType::kCdRom;
  StartLocation location = Determine("D:\\Pagetrix.exe", "Zentrale");
  EXPECT_EQ("Zentrale", location.current_server);
  EXPECT_EQ(DriveType::kCdRom, location.drive_type);
  EXPECT_EQ("Environment_CDROM", location.environment_section);
  platform_.drive_types["D:"] = DriveType::kRemovable;
  EXPECT_EQ("Environment_REMOVABLE", Determine("D:\\Pagetrix.exe").environment_section);
}

TEST(LookupLocalServerTest, ReadsTheServerPathFromTheClassesRoot) {
  FakePlatform platform;
  auto& registry = platform.classes_root;
  registry["Word.Application\\CLSID"] = "{W}";
  registry["CLSID\\{W}\\LocalServer32"] = " \t\"C:\\Office\\WINWORD.EXE\"  /automation";
  registry["Excel.Application\\CLSID"] = "{E}";
  registry["CLSID\\{E}\\LocalServer32"] = "C:\\Office\\EXCEL.EXE  ";
  registry["Access.Application\\CLSID"] = "{A}";
  registry["Outlook.Application\\CLSID"] = "{O}";
  registry["CLSID\\{O}\\LocalServer32"] = std::string(300, 'x');
  EXPECT_EQ("\"C:\\Office\\WINWORD.EXE\"", LookupLocalServer(platform, "Word.Application"));
  EXPECT_EQ("C:\\Office\\EXCEL.EXE  ", LookupLocalServer(platform, "excel.application"));
  EXPECT_EQ("", LookupLocalServer(platform, "Access.Application"));
  EXPECT_EQ("", LookupLocalServer(platform, "Outlook.Application"));
  EXPECT_EQ("", LookupLocalServer(platform, "Publisher.Application"));
}

class EnvironmentFileTest : public ::testing::Test {
 protected:
  EnvironmentFileTest() {
    platform_.tick_count = 0;
    platform_.network_name = "";
    platform_.drive_types["G:"] = DriveType::kFixed;
    platform_.program_path = "G:\\Pagetrix\\Pagetrix.exe";
    log_.SetPath(dir_.Path("run.log"));
  }
  // Applies the file as the run does and returns the run log.
  std::string Apply(const std::string& content, const std::string& server = "") {
    dir_.Write("env.ini", content);
    DetermineStartLocation(platform_, server, location_);
    ApplyEnvironmentFile(platform_, dir_.Path("env.ini"), location_, log_);
    log_.Close();
    return dir_.Read("run.log");
  }
  bool InBlock(const std::string& entry) {
    for (const std::string& e : platform_.GetEnvironmentBlock())
      if (e == entry) return true;
    return false;
  }
  std::string Variable(const std::string& name) {
    std::string value;
    if (!platform_.GetEnvVar(name, &value)) return "<unset>";
    return value;
  }
  FakePlatform platform_;
  TempDir dir_;
  RunLog log_{platform_};
  StartLocation location_;
};

TEST_F(EnvironmentFileTest, ServerEntriesAndEarlierEntriesArePlaceholders) {
  platform_.classes_root["Word.Application\\CLSID"] = "{W}";
  platform_.classes_root["CLSID\\{W}\\LocalServer32"] = "\"C:\\Office\\WINWORD.EXE\" /auto";
  SetEnvVars(platform_, {{"Excel.Application", "stale"}});
  std::string log = Apply(
      "[Lokal]\r\nPTX1_BASE=%StartLW%\\Daten\r\n"
      "[environment_fixed]\r\nPTX1_DRIVE=%startlw%\r\nPTX1_SERVER=%StartServer%\r\n"
      "PTX1_SUB=%PTX1_BASE%\\sub\r\nPTX1_LATER=%PTX1_LAST%x\r\nPTX1_EARLY=%PTX1_DRIVE%\\y\r\n"
      "PTX1_PATH=%PATH%;z\r\nPTX1_LAST=last\r\nWord.Application=mine\r\n"
      "[Environment]\r\nPTX1_WRONG=1\r\n");
  EXPECT_EQ("Environment_FIXED", location_.environment_section);
  EXPECT_EQ("<unset>", Variable("PTX1_BASE"));
  EXPECT_EQ("G:", Variable("PTX1_DRIVE"));
  EXPECT_EQ("G:", Variable("PTX1_SERVER"));
  EXPECT_EQ("G:\\Daten\\sub", Variable("PTX1_SUB"));
  EXPECT_EQ("%PTX1_LAST%x", Variable("PTX1_LATER"));
  EXPECT_EQ("G:\\y", Variable("PTX1_EARLY"));
  EXPECT_EQ("%PATH%;z", Variable("PTX1_PATH"));
  EXPECT_EQ("<unset>", Variable("PTX1_WRONG"));
  EXPECT_EQ("\"C:\\Office\\WINWORD.EXE\"", Variable("Word.Application"));
  EXPECT_TRUE(InBlock("Excel.Application="));
  EXPECT_EQ(
      "(0 ms) [Lokal]\r\n(0 ms) PTX1_BASE=G:\\Daten\r\n(0 ms) \r\n"
      "(0 ms) Verwendete Sektion aus der Umgebungsdatei: " +
          dir_.Path("env.ini") +
          "\r\n"
          "(0 ms) [Environment_FIXED]\r\n(0 ms) PTX1_DRIVE=G:\r\n(0 ms) PTX1_SERVER=G:\r\n"
          "(0 ms) PTX1_SUB=G:\\Daten\\sub\r\n(0 ms) PTX1_LATER=%PTX1_LAST%x\r\n"
          "(0 ms) PTX1_EARLY=G:\\y\r\n(0 ms) PTX1_PATH=%PATH%;z\r\n(0 ms) PTX1_LAST=last\r\n"
          "(0 ms) Word.Application=mine\r\n(0 ms) \r\n",
      log);
}

TEST_F(EnvironmentFileTest, MissingSectionFallsBackEmptySectionDoesNot) {
  Apply("[Environment]\r\nPTX2_FALLBACK=yes\r\n");
  EXPECT_EQ("Environment", location_.environment_section);
  EXPECT_EQ("yes", Variable("PTX2_FALLBACK"));

  log_.SetPath(dir_.Path("run.log"));
  Apply("[ENVIRONMENT_FIXED]\r\n[Environment]\r\nPTX2_NOT=yes\r\n");
  EXPECT_EQ("Environment_FIXED", location_.environment_section);
  EXPECT_EQ("<unset>", Variable("PTX2_NOT"));
}

TEST_F(EnvironmentFileTest, MissingFileLogsBothHeadersAndSetsOfficeVariables) {
  SetEnvVars(platform_, {{"Publisher.Application", "stale"}});
  DetermineStartLocation(platform_, "", location_);
  ApplyEnvironmentFile(platform_, dir_.Path("missing.ini"), location_, log_);
  log_.Close();
  EXPECT_EQ("(0 ms) [Lokal]\r\n(0 ms) \r\n(0 ms) Verwendete Sektion aus der Umgebungsdatei: " +
                dir_.Path("missing.ini") + "\r\n(0 ms) [Environment]\r\n(0 ms) \r\n",
            dir_.Read("run.log"));
  EXPECT_TRUE(InBlock("Publisher.Application="));
}

TEST_F(EnvironmentFileTest, RemoteServerSectionFollowsTheOverride) {
  platform_.network_name = "\\\\fileserver\\apps";
  platform_.drive_types["N:"] = DriveType::kRemote;
  platform_.program_path = "N:\\Pagetrix.exe";
  std::string file =
      "[Server_fileserver]\r\nPTX3_HOME=\\\\fileserver\\home\r\n"
      "[Server_Zentrale]\r\nPTX3_HOME=\\\\zentrale\\home\r\n"
      "[Environment_REMOTE]\r\nPTX3_DIR=%ptx3_home%\\%StartServer%\r\n"
      "PTX3_SRV=%StartServer%\\%ptx3_home%\r\n";
  Apply(file);
  // %StartServer% comes first in the table, so it is tried while not leftmost.
  EXPECT_EQ("\\\\fileserver\\home\\%StartServer%", Variable("PTX3_DIR"));
  EXPECT_EQ("fileserver\\\\\\fileserver\\home", Variable("PTX3_SRV"));
  // A fresh log: the first holds no date line, so it is no run log to replace.
  SystemPlatform().RemoveFile(dir_.Path("run.log"), dir_.path());
  log_.SetPath(dir_.Path("run.log"));
  std::string log = Apply(file, "Zentrale");
  EXPECT_EQ("Zentrale\\\\\\zentrale\\home", Variable("PTX3_SRV"));
  EXPECT_EQ(0u, log.find("(0 ms) [Server_Zentrale]\r\n"));
}

TEST_F(EnvironmentFileTest, SelfReferringEntryEnds) {
  Apply("[Environment_FIXED]\r\nPTX4_X=%PTX4_X%\r\nPTX4_Y=%PTX4_X%\\end\r\n");
  EXPECT_EQ("%PTX4_X%", Variable("PTX4_X"));
  EXPECT_EQ("%PTX4_X%\\end", Variable("PTX4_Y"));
}

TEST_F(EnvironmentFileTest, LogEnvironmentDumpsTheWholeBlockInOrder) {
  SetEnvVars(platform_, {{"PTX5_DUMP", "v"}});
  SetEnvVars(platform_, {{"PTX5_EMPTY", ""}});
  SetEnvVars(platform_, {{"Ptx5_Percent", "50%"}});
  LogEnvironment(platform_, log_);
  log_.Close();
  EXPECT_EQ(
      "(0 ms) *******   Beginn:  Alle zur Verf\xFCgung stehenden Umgebungsvariablen  *******\r\n"
      "(0 ms) PTX5_DUMP=v\r\n(0 ms) PTX5_EMPTY=\r\n(0 ms) Ptx5_Percent=50%\r\n"
      "(0 ms) *******   Ende:  Alle zur Verf\xFCgung stehenden Umgebungsvariablen  *******\r\n"
      "(0 ms) \r\n",
      dir_.Read("run.log"));
}

TEST_F(EnvironmentFileTest, LogEnvironmentWritesNothingWhileTheLogIsOff) {
  SetEnvVars(platform_, {{"PTX5_DUMP", "v"}});
  RunLog off{platform_};
  LogEnvironment(platform_, off);
  EXPECT_EQ(PathKind::kMissing, SystemPlatform().FindPath(dir_.Path("run.log")));
}

TEST(ExpandEnvironmentTest, ExpandsAndLogsWhatStaysUnresolved) {
  FakePlatform platform;
  TempDir dir;
  RunLog log{platform};
  log.SetPath(dir.Path("run.log"));
  platform.tick_count = 0;
  SetEnvVars(platform, {{"PTX6_DIR", "C:\\Daten"}});
  std::string value = "%ptx6_dir%\\%PTX6_NONE%\\x";
  ExpandEnvironment(platform, value, log);
  EXPECT_EQ("C:\\Daten\\%PTX6_NONE%\\x", value);
  std::string plain = "kein Prozent";
  ExpandEnvironment(platform, plain, log);
  EXPECT_EQ("kein Prozent", plain);
  log.Close();
  EXPECT_EQ(
      "(0 ms) Die Umgebungsvariable: \"C:\\Daten\\%PTX6_NONE%\\x\" konnte nicht "
      "aufgel\xF6st werden.\r\n",
      dir.Read("run.log"));
}

}  // namespace

namespace {

// The table walked pair by pair in order, as the rule is written.
std::string ResolvedPairByPair(std::string value,
                               const std::vector<std::pair<std::string, std::string>>& pairs) {
  for (const auto& [placeholder, replacement] : pairs)
    ReplacePlaceholder(value, placeholder, replacement);
  return value;
}

TEST(ResolvePlaceholdersTest, JumpingToTheNamedPairGivesWhatWalkingEveryPairGives) {
  const char* const kPieces[] = {"%A%", "%a%", "%B%", "%C%", "%", "x", "\\", "%A", "A%", ""};
  std::uint32_t seed = 12345;
  auto next = [&seed](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::pair<std::string, std::string>> pairs;
    SubstitutionTable table;
    const int count = 1 + static_cast<int>(next(6));
    for (int i = 0; i < count; ++i) {
      std::string placeholder = std::string("%") + "ABC"[next(3)] + "%";
      std::string replacement;
      for (std::uint32_t k = next(4); k > 0; --k) replacement += kPieces[next(10)];
      pairs.emplace_back(placeholder, replacement);
      table.Add(placeholder, replacement);
    }
    std::string value;
    for (std::uint32_t k = 1 + next(5); k > 0; --k) value += kPieces[next(10)];
    std::string resolved = value;
    EXPECT_TRUE(ResolvePlaceholders(resolved, table, table.size()));
    EXPECT_EQ(ResolvedPairByPair(value, pairs), resolved) << "value " << value;
  }
}

TEST(ResolvePlaceholdersTest, OnlyTheKnownPairsAreUsed) {
  SubstitutionTable table;
  table.Add("%A%", "a");
  table.Add("%B%", "b");
  std::string value = "%B%%A%";
  EXPECT_TRUE(ResolvePlaceholders(value, table, 1));
  EXPECT_EQ("%B%%A%", value);
  EXPECT_TRUE(ResolvePlaceholders(value, table, 2));
  EXPECT_EQ("b%A%", value);  // %A% came before %B% in the table
}

TEST(ReplacePlaceholderTest, AValueStopsGrowingAtTheLimit) {
  std::string value = "%A%%A%";
  EXPECT_FALSE(ReplacePlaceholder(value, "%A%", std::string(6, 'x'), 10));
  EXPECT_EQ(std::string(10, 'x'), value);
  value = "%A%";
  EXPECT_TRUE(ReplacePlaceholder(value, "%A%", std::string(10, 'x'), 10));
  EXPECT_EQ(std::string(10, 'x'), value);
}

}  // namespace

namespace {

TEST(EnvironmentLimitTest, DoublingValuesStopAtTheLimitNamingTheVariable) {
  FakePlatform platform;
  TempDir dir;
  std::string text = "[Environment]\r\nA0=xxxxxxxx\r\n";
  for (int i = 1; i < 40; ++i) {
    const std::string name = std::to_string(i), previous = std::to_string(i - 1);
    text.append("A").append(name).append("=%A").append(previous).append("%%A");
    text.append(previous).append("%\r\n");
  }
  dir.Write("env.ini", text);
  RunLog log{platform};
  log.SetPath(dir.Path("run.log"));
  StartLocation location;
  location.current_server = "C:";
  ApplyEnvironmentFile(platform, dir.Path("env.ini"), location, log);
  log.Close();
  std::string value;
  ASSERT_TRUE(platform.GetEnvVar("A11", &value));
  EXPECT_EQ(std::string(8 << 11, 'x'), value);
  ASSERT_TRUE(platform.GetEnvVar("A39", &value));
  EXPECT_EQ(kMaxVariableValue, value.size());
  const std::string written = dir.Read("run.log");
  EXPECT_EQ(std::string::npos, written.find("\"A11\""));
  EXPECT_NE(std::string::npos,
            written.find("Die Umgebungsvariable: \"A12\" konnte nicht aufgel\xF6st werden."));
}

// However many values reach the limit of one variable, together they stay
// within the total: the first value beyond it is cut, the later ones are
// empty, and each cut one is named.
TEST(EnvironmentLimitTest, AllValuesTogetherStayWithinTheTotal) {
  FakePlatform platform;
  TempDir dir;
  // Lines are read in pieces of about 1 KB: the full value is made by doubling.
  std::string text = std::string("[Lokal]\r\nL0=").append(1000, 'x').append("\r\n");
  size_t server_section = 1000;
  for (int i = 1; i <= 6; ++i) {
    const std::string previous = std::to_string(i - 1);
    text.append("L").append(std::to_string(i)).append("=%L").append(previous);
    text.append("%%L").append(previous).append("%\r\n");
    server_section += std::min<size_t>(kMaxVariableValue, 1000u << i);
  }
  text += "[Environment]\r\n";
  for (int i = 1; i <= 200; ++i) text.append("B").append(std::to_string(i)).append("=%L6%\r\n");
  dir.Write("env.ini", text);
  RunLog log{platform};
  log.SetPath(dir.Path("run.log"));
  StartLocation location;
  location.start_drive = "C:";
  location.current_server = "C:";
  ApplyEnvironmentFile(platform, dir.Path("env.ini"), location, log);
  log.Close();
  // The table: the start drive, the server, seven empty office paths, L0 to L6.
  const size_t left = kMaxEnvironmentTotal - 2 - 2 - server_section;
  const size_t whole = left / kMaxVariableValue;
  size_t total = 0;
  const std::string written = dir.Read("run.log");
  for (size_t i = 1; i <= 200; ++i) {
    const std::string name = std::string("B").append(std::to_string(i));
    std::string value;
    ASSERT_TRUE(platform.GetEnvVar(name, &value)) << name;
    total += value.size();
    const size_t expected = i <= whole       ? kMaxVariableValue
                            : i == whole + 1 ? left % kMaxVariableValue
                                             : 0;
    EXPECT_EQ(expected, value.size()) << name;
    EXPECT_EQ(std::string(value.size(), 'x'), value) << name;
    const std::string message = std::string("Die Umgebungsvariable: \"").append(name) + "\" konnte";
    EXPECT_EQ(i > whole, written.find(message) != std::string::npos) << name;
  }
  EXPECT_EQ(left, total);
}

}  // namespace
