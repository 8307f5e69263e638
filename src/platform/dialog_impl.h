/// The modal dialog loops of the two builds, behind Platform::RunModalDialog.
#ifndef PAGETRIX_PLATFORM_DIALOG_IMPL_H_
#define PAGETRIX_PLATFORM_DIALOG_IMPL_H_

#include <cstdio>
#include <string_view>

class CDialog;

/// Writes Windows-1252 text to a console stream, in UTF-8 where the user's
/// locale is UTF-8; other locales get the bytes unchanged.
void WriteConsolePosix(std::FILE* stream, std::string_view text);

/// Runs the dialog modally on POSIX; returns its end code (1 for OK).
int RunModalDialogPosix(CDialog& dialog);
/// Runs the dialog modally with the Win32 dialog manager; returns its end code.
int RunModalDialogWin32(CDialog& dialog);

#endif  // PAGETRIX_PLATFORM_DIALOG_IMPL_H_
