#include "app/helpers.h"

#include "app/pagetrix_app.h"
#include "fs/util.h"
#include "platform/platform.h"
#include "res/messages.h"

void ExpandEnvironment(std::string& value) {
  if (value.empty() || value.find('%') == std::string::npos) return;
  // No fixed buffer: a long expansion is kept whole.
  value = GetPlatform().ExpandEnvironmentStrings(value);
  if (value.find('%') != std::string::npos) TheApp().Log(Message(IDS_UNRESOLVED_VARIABLE, value));
}

int CopyFileLogged(const std::string& from, const std::string& to, bool fail_if_exists) {
  CPagetrixApp& app = TheApp();
  app.Log(Message(IDS_COPYING_FILE, from, to));
  if (GetPathKind(to) != 0) {
    app.Log(Message(IDS_FILE_EXISTS, to));
    if (fail_if_exists) return 0;
  }
  if (GetPlatform().CopyFile(from, to, fail_if_exists)) return 0;
  app.Log(Message(IDS_COPY_FAILED, from, to));
  return 4;
}
