// Process entry: one start is one run.
#include <exception>
#include <string>

#include "app/pagetrix_app.h"
#include "platform/platform.h"
#include "platform/window_system.h"

namespace {

// Exit code of a run that ended through a fault of the program itself,
// beside the generator's results 1 to 7.
constexpr int kInternalError = 8;

int ReportInternalError(const std::string& what) {
  SystemWindows().ShowMessageBox("Pagetrix wurde wegen eines internen Fehlers beendet: " + what);
  return kInternalError;
}

}  // namespace

int main(int argc, char** argv) {
  // Whatever escapes ends with a message and an exit code, not an abort.
  try {
    InitPlatformArguments(argc, argv);
    CPagetrixApp app(SystemPlatform(), SystemWindows());
    app.PerformRun();
    return app.ExitCode();
  } catch (const std::exception& e) {
    return ReportInternalError(e.what());
  } catch (...) {
    return ReportInternalError("unbekannt");
  }
}
