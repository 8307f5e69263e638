/// The help window: the usage text in a read-only field.
#ifndef PAGETRIX_UI_HELP_WINDOW_H_
#define PAGETRIX_UI_HELP_WINDOW_H_

#include <string>

#include "ui/dialog.h"

class CDlgHilfe : public CDialog {
 public:
  explicit CDlgHilfe(WindowSystem& windows);

  bool OnInitDialog() override;
  void DoDataExchange(bool save_and_validate) override;
  bool OnPaint() override;
  /// The text followed by a line end.
  std::string ConsoleText() const override;

  /// Set by the caller before the window is shown.
  std::string text;
  /// The read-only edit control 1001, bound by the data exchange.
  CDialogItem edit;

 private:
  /// Sizes the window to the text and centres it on the work area.
  void PlaceToShowText(const std::string& shown);
};

/// Where the help window and its field go.
struct HelpWindowLayout {
  WindowRect window;  ///< screen coordinates
  WindowRect field;   ///< client coordinates
};

/// The help window grown (never shrunk below its template) until its field
/// shows `text_width` x `text_height` pixels of text, then held inside the
/// work area and centred on it. `field` is the field's rectangle in the
/// client area and `text_area` where the field lays out text, in its own
/// coordinates; the field grows with the window.
HelpWindowLayout LayOutHelpWindow(const WindowRect& window, const WindowRect& field,
                                  const WindowRect& text_area, int text_width, int text_height,
                                  const WindowRect& work_area);

#endif  // PAGETRIX_UI_HELP_WINDOW_H_
