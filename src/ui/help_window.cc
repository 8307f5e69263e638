#include "ui/help_window.h"

#include <algorithm>

#include "base/text.h"
#include "res/resource.h"

namespace {

// The usage text is laid out for tab stops every eight characters, and in
// places aligned with blanks: a fixed-pitch font shows it as written.
constexpr int kTabWidth = 8;
// Room for the caret after the widest line.
constexpr int kCaretWidth = 2;

}  // namespace

CDlgHilfe::CDlgHilfe(WindowSystem& windows) : CDialog(IDD_HILFE, windows) {}

bool CDlgHilfe::OnInitDialog() {
  CDialog::OnInitDialog();
  // The tabs become blanks: an edit control's own tab stops are counted in
  // dialog units, which no two fonts agree on.
  const std::string shown = ExpandTabs(text, kTabWidth);
  window().SetItemFixedPitchFont(IDC_HILFE_TEXT);
  edit.SetText(shown);
  PlaceToShowText(shown);
  return true;
}

void CDlgHilfe::PlaceToShowText(const std::string& shown) {
  Window& dialog = window();
  WindowRect outer, field, text_area, work_area;
  int widest = 0;
  int line_height = 0;
  if (!dialog.GetRect(WindowArea::kWindow, &outer) ||
      !dialog.GetItemRect(IDC_HILFE_TEXT, ItemArea::kBounds, &field) ||
      !dialog.GetItemRect(IDC_HILFE_TEXT, ItemArea::kText, &text_area) ||
      !dialog.GetRect(WindowArea::kWorkArea, &work_area) ||
      !dialog.MeasureItemText(IDC_HILFE_TEXT, shown, &widest, &line_height)) {
    return;
  }
  const int lines = static_cast<int>(std::count(shown.begin(), shown.end(), '\n')) + 1;
  const HelpWindowLayout layout = LayOutHelpWindow(outer, field, text_area, widest + kCaretWidth,
                                                   lines * line_height, work_area);
  dialog.MoveWindow(layout.window, true);
  dialog.MoveItem(IDC_HILFE_TEXT, layout.field);
}

void CDlgHilfe::DoDataExchange(bool save_and_validate) {
  CDialog::DoDataExchange(save_and_validate);
  edit.Bind(this, IDC_HILFE_TEXT);
}

bool CDlgHilfe::OnPaint() {
  // Focusing the field selects all of it; every paint puts the caret back
  // to the first line, so the text shows from its start with no selection.
  auto paint = window().BeginPaint();
  edit.SetSelection(0, 0);
  return true;
}

std::string CDlgHilfe::ConsoleText() const { return text + "\r\n"; }

HelpWindowLayout LayOutHelpWindow(const WindowRect& window, const WindowRect& field,
                                  const WindowRect& text_area, int text_width, int text_height,
                                  const WindowRect& work_area) {
  // A tenth of the work area stays free above and below a long text.
  const int max_height = work_area.Height() - work_area.Height() / 10;
  const int width = std::min(
      work_area.Width(), std::max(window.Width(), window.Width() + text_width - text_area.Width()));
  const int height = std::min(
      max_height, std::max(window.Height(), window.Height() + text_height - text_area.Height()));
  HelpWindowLayout layout;
  layout.window.left = work_area.left + (work_area.Width() - width) / 2;
  layout.window.top = work_area.top + (work_area.Height() - height) / 2;
  layout.window.right = layout.window.left + width;
  layout.window.bottom = layout.window.top + height;
  layout.field = field;
  layout.field.right += width - window.Width();
  layout.field.bottom += height - window.Height();
  return layout;
}
