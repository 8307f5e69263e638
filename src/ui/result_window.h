/// The result window: one line with the path of the generated start page.
#ifndef PAGETRIX_UI_RESULT_WINDOW_H_
#define PAGETRIX_UI_RESULT_WINDOW_H_

#include <climits>
#include <string>

#include "ui/dialog.h"

/// Value of a placement key that is not in the main configuration file.
inline constexpr int kPlacementMissing = INT_MIN;
/// The window's height in pixels; the user can change only its width.
inline constexpr int kResultWindowHeight = 44;

class CPagetrixDlg : public CDialog {
 public:
  /// Loads the program's icon.
  explicit CPagetrixDlg(WindowSystem& windows);

  bool OnInitDialog() override;
  void DoDataExchange(bool save_and_validate) override;
  bool OnSysCommand(unsigned command) override;
  bool OnPaint() override;
  IconHandle OnQueryDragIcon() override;
  void OnSize(int client_width, int client_height) override;
  void OnGetMinMaxInfo(TrackingLimits* limits) override;
  void OnDestroy() override;
  /// The page path and a line end.
  std::string ConsoleText() const override;
  /// The path comes from the system (the temp directory), not from a file.
  bool ConsoleTextIsAnsi() const override { return false; }

  /// Reads X, Y, CX, CY of `section` in the main configuration file into
  /// left, top, right (X + CX) and bottom (Y + CY); false, and `rect`
  /// untouched, unless all four keys are there.
  bool RestoreWindowPlacement(WindowRect* rect, const std::string& section);
  /// Writes X, Y, CX, CY and Maximize of the window's normal position into
  /// `section`; writes nothing if the placement cannot be obtained.
  void SaveWindowPlacement(const std::string& section);

  /// Set by the run sequence before the window is shown; exchanged with
  /// edit control 1000.
  std::string page_path;
  /// The main configuration file the placement is read from and saved to.
  std::string profile_path;

 protected:
  /// Puts the window into the bottom-right corner of the work area, keeping its size.
  void MoveToWorkAreaCorner();

  IconHandle icon_;
};

#endif  // PAGETRIX_UI_RESULT_WINDOW_H_
