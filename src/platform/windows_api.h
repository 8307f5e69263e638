/// <windows.h> without the A/W name macros that clash with Platform's methods.
#ifndef PAGETRIX_PLATFORM_WINDOWS_API_H_
#define PAGETRIX_PLATFORM_WINDOWS_API_H_

#include <windows.h>

// These macros would rename Platform's methods; Win32 calls use the -A names.
#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef ExpandEnvironmentStrings
#undef GetCurrentDirectory
#undef GetDriveType
#undef GetEnvironmentVariable
#undef GetModuleFileName
#undef GetTempPath
#undef GetUserName
#undef LoadString
#undef RemoveDirectory
#undef SearchPath
#undef SetCurrentDirectory
#undef SetEnvironmentVariable

#endif  // PAGETRIX_PLATFORM_WINDOWS_API_H_
