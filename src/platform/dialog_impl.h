/// The modal dialog loops of the two builds, behind Platform::RunModalDialog.
#ifndef PAGETRIX_PLATFORM_DIALOG_IMPL_H_
#define PAGETRIX_PLATFORM_DIALOG_IMPL_H_

class CDialog;

/// Runs the dialog modally on POSIX; returns its end code (1 for OK).
int RunModalDialogPosix(CDialog& dialog);
/// Runs the dialog modally with the Win32 dialog manager; returns its end code.
int RunModalDialogWin32(CDialog& dialog);

#endif  // PAGETRIX_PLATFORM_DIALOG_IMPL_H_
