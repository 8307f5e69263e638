/// The about box, opened from the result window's system menu.
#ifndef PAGETRIX_UI_ABOUT_BOX_H_
#define PAGETRIX_UI_ABOUT_BOX_H_

#include "ui/dialog.h"

class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(WindowSystem& windows);
};

#endif  // PAGETRIX_UI_ABOUT_BOX_H_
