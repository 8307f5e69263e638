// Process entry: one start is one run.
#include "app/pagetrix_app.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  InitPlatformArguments(argc, argv);
  CPagetrixApp app;
  app.PerformRun();
  return app.ExitCode();
}
