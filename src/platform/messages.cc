#include "platform/messages.h"

#include "platform/platform.h"

std::string LoadMessage(int id) { return GetPlatform().LoadStringResource(id); }
