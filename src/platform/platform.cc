#include "platform/platform.h"

namespace {

// Null means the system's own; tests install their fakes here.
Platform* g_platform = nullptr;

}  // namespace

Platform& GetPlatform() { return g_platform != nullptr ? *g_platform : SystemPlatform(); }

Platform* SetPlatform(Platform* platform) {
  Platform* previous = &GetPlatform();
  g_platform = platform;
  return previous;
}
