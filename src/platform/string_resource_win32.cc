#include <windows.h>

#include "platform/string_resource.h"

std::string StringResource(int id) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  std::string buffer(512, '\0');
  while (true) {
    int got = ::LoadStringA(instance, static_cast<UINT>(id), buffer.data(),
                            static_cast<int>(buffer.size()));
    if (got <= 0) return std::string();
    // A string that fills the buffer may have been cut.
    if (static_cast<size_t>(got) < buffer.size() - 1 || buffer.size() >= 65536) {
      buffer.resize(static_cast<size_t>(got));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}
