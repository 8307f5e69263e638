/// System libraries that a normal run never needs, loaded on first use.
/// Importing them would load them, and what they load in turn, at every
/// start; under Wine the common controls alone start the desktop process.
#ifndef PAGETRIX_PLATFORM_SYSTEM_LIBRARIES_WIN32_H_
#define PAGETRIX_PLATFORM_SYSTEM_LIBRARIES_WIN32_H_

#include <windows.h>
// After <windows.h>, which they need.
#include <commctrl.h>
#include <shellapi.h>
#include <winnetwk.h>

/// The subclassing functions of the common controls. The library is loaded
/// by the first call, which every window of the program comes after, so
/// that its controls are the common controls' own, as when it was imported.
/// A member is null if the library or the function is missing.
struct CommonControlsApi {
  decltype(&::SetWindowSubclass) set_window_subclass = nullptr;
  decltype(&::RemoveWindowSubclass) remove_window_subclass = nullptr;
  decltype(&::DefSubclassProc) def_subclass_proc = nullptr;
};
const CommonControlsApi& CommonControls();

/// ShellExecuteA, looked up in the shell library by the first call; null if
/// it cannot be had.
decltype(&::ShellExecuteA) ShellExecuteFunction();

/// WNetGetConnectionA, looked up in the network library by the first call;
/// null if it cannot be had. Only a run from a network drive needs it.
decltype(&::WNetGetConnectionA) NetworkConnectionFunction();

#endif  // PAGETRIX_PLATFORM_SYSTEM_LIBRARIES_WIN32_H_
