#include "ui/result_window.h"

#include <gtest/gtest.h>

#include "platform/messages.h"
#include "platform/platform.h"
#include "support/fake_window.h"
#include "ui/run_windows.h"

namespace {

const char kProfile[] = "C:\\Daten\\Pagetrix.ini";

class ResultWindowTest : public ::testing::Test {
 protected:
  ResultWindowTest() {
    dialog_.profile_path = kProfile;
    dialog_.page_path = "C:\\Temp\\Pagetrix\\{G}\\Pagetrix.htm";
    dialog_.state.item_rects[1000] = WindowRect{0, 0, 741, 17};
  }

  void Place(int x, int y, int cx, int cy) {
    dialog_.windows.profile = {
        {"Pagetrix/X", x}, {"Pagetrix/Y", y}, {"Pagetrix/CX", cx}, {"Pagetrix/CY", cy}};
  }
  std::string Write(const char* key, const char* value) {
    return std::string(kProfile) + "|Pagetrix|" + key + "|" + value;
  }

  FakeWindow<CPagetrixDlg> dialog_;
};

TEST_F(ResultWindowTest, FirstRunInitializesInOrderAndSitsInTheCorner) {
  EXPECT_TRUE(dialog_.OnInitDialog());
  CallLog expected = {"text 1000 C:\\Temp\\Pagetrix\\{G}\\Pagetrix.htm",
                      std::string("menu 16 ") + CatalogueText(IDS_ABOUTBOX),
                      "icon big",
                      "icon small",
                      "move 531 979 1280 1024 repaint",
                      "foreground"};
  EXPECT_EQ(expected, dialog_.state.calls);
  EXPECT_EQ(std::vector<std::string>(
                {std::string(kProfile) + "|Pagetrix|X", std::string(kProfile) + "|Pagetrix|Y",
                 std::string(kProfile) + "|Pagetrix|CX", std::string(kProfile) + "|Pagetrix|CY"}),
            dialog_.windows.profile_reads);
}

TEST_F(ResultWindowTest, FirstRunCornerAllowsForTheHeldHeight) {
  dialog_.state.held_height = 44;
  dialog_.OnInitDialog();
  EXPECT_EQ("1280 1024", std::to_string(dialog_.state.window.right) + " " +
                             std::to_string(dialog_.state.window.bottom));
  EXPECT_EQ(44, dialog_.state.window.Height());
  EXPECT_EQ(749, dialog_.state.window.Width());
}

TEST_F(ResultWindowTest, SavedPlacementIsRestored) {
  Place(-1200, 300, 700, 44);
  dialog_.OnInitDialog();
  EXPECT_EQ("move -1200 300 -500 344 repaint", dialog_.state.calls[4]);
  EXPECT_EQ("foreground", dialog_.state.calls[5]);
}

TEST_F(ResultWindowTest, PartialOrOverflowingPlacementCountsAsNone) {
  dialog_.windows.profile = {{"Pagetrix/X", 100}, {"Pagetrix/CX", 600}};
  dialog_.OnInitDialog();
  EXPECT_EQ("move 531 979 1280 1024 repaint", dialog_.state.calls[4]);

  FakeWindow<CPagetrixDlg> other;
  other.windows.profile = {
      {"Pagetrix/X", 2147483000}, {"Pagetrix/Y", 0}, {"Pagetrix/CX", 2000}, {"Pagetrix/CY", 44}};
  WindowRect rect{1, 2, 3, 4};
  EXPECT_FALSE(other.RestoreWindowPlacement(&rect, "Pagetrix"));
  EXPECT_EQ("1 2 3 4", RectText(rect));
}

TEST_F(ResultWindowTest, DestroyWritesFivePlacementKeysInOrder) {
  dialog_.state.placement.normal = WindowRect{96, 177, 704, 221};
  dialog_.OnDestroy();
  EXPECT_EQ(std::vector<std::string>({Write("X", "96"), Write("Y", "177"), Write("CX", "608"),
                                      Write("CY", "44"), Write("Maximize", "0")}),
            dialog_.windows.profile_writes);

  dialog_.windows.profile_writes.clear();
  dialog_.state.placement.maximized = true;
  dialog_.OnDestroy();
  EXPECT_EQ(Write("Maximize", "1"), dialog_.windows.profile_writes.back());

  dialog_.windows.profile_writes.clear();
  dialog_.state.has_placement = false;
  dialog_.OnDestroy();
  EXPECT_TRUE(dialog_.windows.profile_writes.empty());
}

TEST_F(ResultWindowTest, OnlyTheWidthCanChange) {
  dialog_.state.window = WindowRect{96, 177, 804, 221};
  dialog_.OnSize(700, 17);
  EXPECT_EQ("move item 1000 0 0 708 17", dialog_.state.calls.back());

  TrackingLimits limits{10, 20, 3000, 4000};
  dialog_.OnGetMinMaxInfo(&limits);
  EXPECT_EQ(10, limits.min_width);
  EXPECT_EQ(3000, limits.max_width);
  EXPECT_EQ(44, limits.min_height);
  EXPECT_EQ(44, limits.max_height);
}

TEST_F(ResultWindowTest, EnterTakesTheEditedPathBack) {
  dialog_.state.item_texts[1000] = "D:\\anders.htm";
  dialog_.OnOK();
  EXPECT_EQ("D:\\anders.htm", dialog_.page_path);
  EXPECT_EQ("end 1", dialog_.state.calls.back());
}

TEST_F(ResultWindowTest, MinimizedWindowDrawsItsIconCentred) {
  EXPECT_FALSE(dialog_.OnPaint());
  EXPECT_TRUE(dialog_.state.calls.empty());

  dialog_.state.minimized = true;
  dialog_.state.client = WindowRect{0, 0, 161, 24};
  EXPECT_TRUE(dialog_.OnPaint());
  EXPECT_EQ(CallLog({"begin paint", "erase", "draw 65 -3", "end paint"}), dialog_.state.calls);
}

TEST_F(ResultWindowTest, SystemMenuEntryOpensTheAboutBox) {
  int shown = 0;
  dialog_.windows.on_dialog = [&shown](DialogHandler& dialog) {
    EXPECT_EQ(100, dialog.TemplateId());
    ++shown;
    return 1;
  };
  EXPECT_TRUE(dialog_.OnSysCommand(0x0013));  // low four bits are the system's
  EXPECT_EQ(1, shown);
  EXPECT_FALSE(dialog_.OnSysCommand(0xF060));  // close: default handling
  EXPECT_EQ(1, shown);
}

TEST_F(ResultWindowTest, ShowResultWindowShowsTheGivenPathAndProfile) {
  std::string shown_path, profile;
  FakeWindowSystem windows;
  windows.on_dialog = [&shown_path, &profile](DialogHandler& dialog) {
    EXPECT_EQ(102, dialog.TemplateId());
    shown_path = dynamic_cast<CPagetrixDlg&>(dialog).page_path;
    profile = dynamic_cast<CPagetrixDlg&>(dialog).profile_path;
    return 1;
  };
  ShowResultWindow(windows, "C:\\x\\Pagetrix.htm", kProfile);
  EXPECT_EQ("C:\\x\\Pagetrix.htm", shown_path);
  EXPECT_EQ(kProfile, profile);
}

TEST(ResultWindowConsoleTest, ConsoleBuildPrintsThePath) {
  if (kPathSeparator != '/') GTEST_SKIP() << "only the console build prints";
  CPagetrixDlg dialog(SystemWindows());
  dialog.page_path = "/tmp/Pagetrix/{G}/Pagetrix.htm";
  ::testing::internal::CaptureStdout();
  int result = dialog.DoModal();
  EXPECT_EQ("/tmp/Pagetrix/{G}/Pagetrix.htm\n", ::testing::internal::GetCapturedStdout());
  EXPECT_EQ(1, result);
}

}  // namespace
