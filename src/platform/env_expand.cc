#include "platform/env_expand.h"

std::string ExpandPercentReferences(const std::string& text, const EnvironmentLookup& lookup) {
  std::string out;
  std::string value;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      out.push_back(text[i++]);
      continue;
    }
    size_t close = text.find('%', i + 1);
    if (close == std::string::npos) {
      out.append(text, i, std::string::npos);
      break;
    }
    const std::string name = text.substr(i + 1, close - i - 1);
    if (!name.empty() && lookup(name, &value)) {
      out += value;
      i = close + 1;
    } else {
      out.append(text, i, close - i);
      i = close;
    }
  }
  return out;
}
