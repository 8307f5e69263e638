#include "ui/about_box.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg(WindowSystem& windows) : CDialog(IDD_ABOUTBOX, windows) {}
