#include "app/dlg_hilfe.h"

#include <gtest/gtest.h>

#include "app/windows.h"
#include "res/usage_text.h"
#include "support/fake_platform.h"
#include "support/fake_window.h"

namespace {

TEST(HelpWindowTest, ShowsTheTextFromItsFirstLineWithoutSelection) {
  FakeWindow<CDlgHilfe> dialog;
  dialog.text = "Zeile 1\r\nZeile 2";
  EXPECT_TRUE(dialog.OnInitDialog());
  EXPECT_EQ(1001, dialog.edit.Id());
  EXPECT_EQ(CallLog({"text 1001 Zeile 1\r\nZeile 2"}), dialog.state.calls);

  dialog.state.calls.clear();
  EXPECT_TRUE(dialog.OnPaint());
  EXPECT_EQ(CallLog({"begin paint", "select 1001 0 0", "scroll caret 1001", "end paint"}),
            dialog.state.calls);
}

TEST(HelpWindowTest, ShowHelpWindowShowsTheUsageText) {
  ScopedPlatform platform;
  std::string shown;
  platform->on_dialog = [&shown](CDialog& dialog) {
    EXPECT_EQ(130, dialog.TemplateId());
    shown = dialog.ConsoleText();
    return 1;
  };
  ShowHelpWindow();
  EXPECT_EQ(UsageText() + "\r\n", shown);
}

}  // namespace
