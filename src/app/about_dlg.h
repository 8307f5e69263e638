/// The about box, opened from the result window's system menu.
#ifndef PAGETRIX_APP_ABOUT_DLG_H_
#define PAGETRIX_APP_ABOUT_DLG_H_

#include "platform/dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
};

#endif  // PAGETRIX_APP_ABOUT_DLG_H_
