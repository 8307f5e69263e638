/// Resource ids shared by the resource script and the dialog classes.
#ifndef PAGETRIX_RES_RESOURCE_H_
#define PAGETRIX_RES_RESOURCE_H_

#define IDD_ABOUTBOX 100
#define IDD_PAGETRIX_DIALOG 102
#define IDD_PAGETRIX_FEHLER 103
#define IDR_MAINFRAME 128
#define IDD_HILFE 130
#define IDC_SEITE 1000
#define IDC_HILFE_TEXT 1001
#define IDC_FEHLER_TEXT 1002
#define IDC_PROTOKOLL 1003
#define IDC_FEHLER_KOPF 1004
#define IDC_FEHLER_HILFE 1005
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif  // PAGETRIX_RES_RESOURCE_H_
