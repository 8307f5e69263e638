#include "ui/help_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

#include "res/usage_text.h"
#include "support/fake_platform.h"
#include "support/fake_window.h"
#include "ui/run_windows.h"

namespace {

using HelpWindow = FakeWindow<CDlgHilfe>;

TEST(HelpWindowTest, ShowsTheTextFromItsFirstLineWithoutSelection) {
  HelpWindow dialog;
  dialog.text = "Zeile 1\r\nZeile 2";
  EXPECT_TRUE(dialog.OnInitDialog());
  EXPECT_EQ(1001, dialog.edit.Id());
  EXPECT_EQ(CallLog({"fixed pitch font 1001", "text 1001 Zeile 1\r\nZeile 2"}), dialog.state.calls);

  dialog.state.calls.clear();
  EXPECT_TRUE(dialog.OnPaint());
  EXPECT_EQ(CallLog({"begin paint", "select 1001 0 0", "scroll caret 1001", "end paint"}),
            dialog.state.calls);
}

TEST(HelpWindowTest, TabsBecomeBlanksUpToEveryEighthColumn) {
  HelpWindow dialog;
  dialog.text =
      "\t/CD\t\tnur zum Testen\r\n\t/PRUEFEN\tpr\xFC"
      "ft\r\n\t\t\tweiter\r\n1234567\tx";
  dialog.OnInitDialog();
  EXPECT_EQ(
      "        /CD             nur zum Testen\r\n"
      "        /PRUEFEN        pr\xFC"
      "ft\r\n"
      "                        weiter\r\n"
      "1234567 x",
      dialog.state.item_texts[1001]);
  EXPECT_EQ(dialog.text + "\r\n", dialog.ConsoleText()) << "the console keeps the tabs";
}

// The template's sizes in pixels as the fake measures them.
void Template(HelpWindow& dialog) {
  dialog.state.window = WindowRect{0, 0, 537, 505};
  dialog.state.client = WindowRect{0, 0, 525, 473};
  dialog.state.item_rects[1001] = WindowRect{10, 11, 514, 461};
  dialog.state.item_text_rects[1001] = WindowRect{1, 0, 482, 446};
}

TEST(HelpWindowTest, GrowsToTheWidestLineAndIsCentredOnTheWorkArea) {
  HelpWindow dialog;
  Template(dialog);
  dialog.state.work_area = WindowRect{0, 40, 1280, 1024};  // a task bar at the top
  std::string wide(90, 'w');
  dialog.text = "kurz\r\n" + wide + "\r\n\tx";
  dialog.OnInitDialog();
  // 90 characters of 7 pixels and the caret: 632 pixels of text, 151 more
  // than the template's field; three lines fit its height.
  const int width = 537 + 632 - 481;
  EXPECT_EQ(RectText(WindowRect{(1280 - width) / 2, 40 + (984 - 505) / 2,
                                (1280 - width) / 2 + width, 40 + (984 - 505) / 2 + 505}),
            RectText(dialog.state.window));
  EXPECT_EQ(RectText(WindowRect{10, 11, 514 + width - 537, 461}),
            RectText(dialog.state.item_rects[1001]));
}

TEST(HelpWindowTest, UsageTextOpensTallAndWideEnoughForEveryLine) {
  HelpWindow dialog;
  Template(dialog);
  dialog.text = UsageText();
  dialog.OnInitDialog();
  const WindowRect& window = dialog.state.window;
  EXPECT_EQ(1024 - 1024 / 10, window.Height()) << "as tall as the work area allows";
  EXPECT_EQ(1024 - window.bottom, window.top);
  EXPECT_EQ(1280 - window.right, window.left);
  // Every line in the field: the widest, of 7-pixel characters, and the caret.
  size_t widest = 0;
  size_t start = 0;
  const std::string shown = dialog.state.item_texts[1001];
  for (size_t end; (end = shown.find("\r\n", start)) != std::string::npos; start = end + 2)
    widest = std::max(widest, end - start);
  EXPECT_GE(481 + window.Width() - 537, static_cast<int>(widest) * 7 + 2);
  EXPECT_EQ(std::string::npos, shown.find('\t'));
}

// The layout's promises, on random windows, texts and work areas.
TEST(LayOutHelpWindowTest, InsideTheWorkAreaCentredTheFieldGrowingWithTheWindow) {
  std::mt19937 random(22);
  auto draw = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int round = 0; round < 20000; ++round) {
    const WindowRect work{draw(-2000, 2000), draw(-2000, 2000), 0, 0};
    const WindowRect work_area{work.left, work.top, work.left + draw(200, 3000),
                               work.top + draw(200, 3000)};
    const WindowRect window{draw(-100, 100), draw(-100, 100), 0, 0};
    const WindowRect placed{window.left, window.top, window.left + draw(150, 800),
                            window.top + draw(150, 800)};
    const int frame_x = draw(0, 40), frame_y = draw(0, 60);
    const WindowRect field{draw(0, 20), draw(0, 20), placed.Width() - frame_x,
                           placed.Height() - frame_y};
    const int inset_x = draw(0, 30), inset_y = draw(0, 10);
    const WindowRect text_area{0, 0, std::max(1, field.Width() - inset_x),
                               std::max(1, field.Height() - inset_y)};
    const int text_width = draw(0, 4000), text_height = draw(0, 4000);
    SCOPED_TRACE(round);

    const HelpWindowLayout layout =
        LayOutHelpWindow(placed, field, text_area, text_width, text_height, work_area);
    const WindowRect& w = layout.window;
    ASSERT_GE(w.left, work_area.left);
    ASSERT_GE(w.top, work_area.top);
    ASSERT_LE(w.right, work_area.right);
    ASSERT_LE(w.bottom, work_area.bottom);
    ASSERT_LE(std::abs((w.left - work_area.left) - (work_area.right - w.right)), 1);
    ASSERT_LE(std::abs((w.top - work_area.top) - (work_area.bottom - w.bottom)), 1);
    ASSERT_LE(w.Height(), work_area.Height() - work_area.Height() / 10);
    // Never smaller than the template where the work area has the room.
    ASSERT_GE(w.Width(), std::min(placed.Width(), work_area.Width()));
    ASSERT_GE(w.Height(), std::min(placed.Height(), work_area.Height() - work_area.Height() / 10));
    // The field keeps its place and its margins.
    ASSERT_EQ(field.left, layout.field.left);
    ASSERT_EQ(field.top, layout.field.top);
    ASSERT_EQ(placed.Width() - field.Width(), w.Width() - layout.field.Width());
    ASSERT_EQ(placed.Height() - field.Height(), w.Height() - layout.field.Height());
    // The text fits wherever the work area leaves the room for it.
    const int area_width = text_area.Width() + layout.field.Width() - field.Width();
    const int area_height = text_area.Height() + layout.field.Height() - field.Height();
    if (w.Width() < work_area.Width()) {
      ASSERT_GE(area_width, text_width);
    }
    if (w.Height() < work_area.Height() - work_area.Height() / 10) {
      ASSERT_GE(area_height, text_height);
    }
  }
}

TEST(HelpWindowTest, ShowHelpWindowShowsTheUsageText) {
  FakeWindowSystem windows;
  std::string shown;
  windows.on_dialog = [&shown](DialogHandler& dialog) {
    EXPECT_EQ(130, dialog.TemplateId());
    shown = dialog.ConsoleText();
    return 1;
  };
  ShowHelpWindow(windows);
  EXPECT_EQ(UsageText() + "\r\n", shown);
}

}  // namespace
