#include "platform/system_libraries_win32.h"

namespace {

// GetProcAddress gives a generic function pointer; the caller knows the type.
template <typename Function>
Function Lookup(HMODULE library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

}  // namespace

const CommonControlsApi& CommonControls() {
  // Loaded once and kept to the end of the process, like an import.
  static const CommonControlsApi api = [] {
    HMODULE library = ::LoadLibraryA("comctl32.dll");
    CommonControlsApi found;
    found.set_window_subclass =
        Lookup<decltype(found.set_window_subclass)>(library, "SetWindowSubclass");
    found.remove_window_subclass =
        Lookup<decltype(found.remove_window_subclass)>(library, "RemoveWindowSubclass");
    found.def_subclass_proc = Lookup<decltype(found.def_subclass_proc)>(library, "DefSubclassProc");
    return found;
  }();
  return api;
}

decltype(&::ShellExecuteA) ShellExecuteFunction() {
  static const auto function =
      Lookup<decltype(&::ShellExecuteA)>(::LoadLibraryA("shell32.dll"), "ShellExecuteA");
  return function;
}

decltype(&::WNetGetConnectionA) NetworkConnectionFunction() {
  static const auto function =
      Lookup<decltype(&::WNetGetConnectionA)>(::LoadLibraryA("mpr.dll"), "WNetGetConnectionA");
  return function;
}
