#include "ui/result_window.h"

#include <cstdint>

#include "base/string_printf.h"
#include "config/config_names.h"
#include "platform/messages.h"
#include "res/resource.h"
#include "ui/about_box.h"

namespace {

// Sums of saved values may lie beyond int; such a placement is unusable.
bool AddInRange(int a, int b, int* sum) {
  std::int64_t wide = static_cast<std::int64_t>(a) + b;
  if (wide < INT_MIN || wide > INT_MAX) return false;
  *sum = static_cast<int>(wide);
  return true;
}

}  // namespace

CPagetrixDlg::CPagetrixDlg(WindowSystem& windows)
    : CDialog(IDD_PAGETRIX_DIALOG, windows), icon_(windows.LoadAppIcon(IDR_MAINFRAME)) {}

bool CPagetrixDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  std::string about = LoadMessage(IDS_ABOUTBOX);
  if (!about.empty()) window().AppendSystemMenuItem(IDM_ABOUTBOX, about);

  window().SetIcons(icon_);

  WindowRect saved;
  if (RestoreWindowPlacement(&saved, std::string(names::kPagetrix))) {
    window().MoveWindow(saved, true);
  } else {
    MoveToWorkAreaCorner();
  }
  window().SetForegroundWindow();
  return true;
}

void CPagetrixDlg::MoveToWorkAreaCorner() {
  Window& shown = window();
  WindowRect work, outer;
  if (!shown.GetRect(WindowArea::kWorkArea, &work) || !shown.GetRect(WindowArea::kWindow, &outer))
    return;
  shown.MoveWindow(
      WindowRect{work.right - outer.Width(), work.bottom - outer.Height(), work.right, work.bottom},
      true);
  // The template's height is not the held height; the move itself brings
  // the window to 44 pixels, so the corner is set again for the new size.
  if (shown.GetRect(WindowArea::kWindow, &outer) &&
      (outer.right != work.right || outer.bottom != work.bottom)) {
    shown.MoveWindow(WindowRect{work.right - outer.Width(), work.bottom - outer.Height(),
                                work.right, work.bottom},
                     true);
  }
}

void CPagetrixDlg::DoDataExchange(bool save_and_validate) {
  CDialog::DoDataExchange(save_and_validate);
  ExchangeText(save_and_validate, IDC_SEITE, page_path);
}

bool CPagetrixDlg::OnSysCommand(unsigned command) {
  if ((command & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg about(window_system());
    about.DoModal();
    return true;
  }
  return CDialog::OnSysCommand(command);
}

bool CPagetrixDlg::OnPaint() {
  if (!window().IsMinimized()) return CDialog::OnPaint();
  auto paint = window().BeginPaint();
  paint->EraseIconBackground();
  WindowRect client;
  if (!window().GetRect(WindowArea::kClient, &client)) return true;
  int icon_width = 0, icon_height = 0;
  paint->GetIconSize(&icon_width, &icon_height);
  paint->DrawIcon((client.Width() - icon_width + 1) / 2, (client.Height() - icon_height + 1) / 2,
                  icon_);
  return true;
}

IconHandle CPagetrixDlg::OnQueryDragIcon() { return icon_; }

void CPagetrixDlg::OnSize(int client_width, int client_height) {
  CDialog::OnSize(client_width, client_height);
  WindowRect edit, outer;
  if (!window().GetItemRect(IDC_SEITE, ItemArea::kBounds, &edit) ||
      !window().GetRect(WindowArea::kWindow, &outer))
    return;
  window().MoveItem(IDC_SEITE,
                    WindowRect{edit.left, edit.top, edit.left + outer.Width(), edit.bottom});
}

void CPagetrixDlg::OnGetMinMaxInfo(TrackingLimits* limits) {
  limits->min_height = kResultWindowHeight;
  limits->max_height = kResultWindowHeight;
}

void CPagetrixDlg::OnDestroy() {
  SaveWindowPlacement(std::string(names::kPagetrix));
  CDialog::OnDestroy();
}

std::string CPagetrixDlg::ConsoleText() const { return page_path + "\n"; }

bool CPagetrixDlg::RestoreWindowPlacement(WindowRect* rect, const std::string& section) {
  const std::string& file = profile_path;
  WindowSystem& windows = window_system();
  int x = windows.ReadProfileInt(file, section, std::string(names::kX), kPlacementMissing);
  int y = windows.ReadProfileInt(file, section, std::string(names::kY), kPlacementMissing);
  int cx = windows.ReadProfileInt(file, section, std::string(names::kCX), kPlacementMissing);
  int cy = windows.ReadProfileInt(file, section, std::string(names::kCY), kPlacementMissing);
  // The four keys are always written together; a partial set is treated
  // as no saved placement rather than as a window of absurd size.
  if (x == kPlacementMissing || y == kPlacementMissing || cx == kPlacementMissing ||
      cy == kPlacementMissing) {
    return false;
  }
  WindowRect placed{x, y, 0, 0};
  if (!AddInRange(x, cx, &placed.right) || !AddInRange(y, cy, &placed.bottom)) return false;
  *rect = placed;
  return true;
}

void CPagetrixDlg::SaveWindowPlacement(const std::string& section) {
  WindowPlacement placement;
  if (!window().GetWindowPlacement(&placement)) return;
  const WindowRect& normal = placement.normal;
  // All five in one write: runs closing at once on one shared file each
  // replace it whole, and every other line of it stays.
  window_system().WriteProfileValues(
      profile_path, section,
      {{std::string(names::kX), StringPrintf("%d", normal.left)},
       {std::string(names::kY), StringPrintf("%d", normal.top)},
       {std::string(names::kCX), StringPrintf("%d", normal.Width())},
       {std::string(names::kCY), StringPrintf("%d", normal.Height())},
       {std::string(names::kMaximize), placement.maximized ? "1" : "0"}});
}
