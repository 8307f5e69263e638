#include "platform/env_block.h"

#include <string_view>
#include <unordered_map>

#include "base/text.h"

void ApplyAssignments(std::vector<std::string>& block,
                      const std::vector<std::pair<std::string, std::string>>& assignments) {
  // One setter call per variable scans the whole block: quadratic for a
  // large environment file. Index the block once instead.
  std::unordered_map<std::string, size_t> exact, folded;
  auto index = [&](size_t i) {
    std::string_view entry = block[i];
    size_t equals = entry.find('=', 1);
    if (entry.empty() || entry[0] == '=' || equals == std::string_view::npos) return;
    std::string name(entry.substr(0, equals));
    exact.emplace(name, i);
    folded.emplace(ToUpperAscii(name), i);
  };
  for (size_t i = 0; i < block.size(); ++i) index(i);
  for (const auto& [name, value] : assignments) {
    if (name.empty() || name.find('=') != std::string::npos) continue;
    size_t position = block.size();
    if (auto same = exact.find(name); same != exact.end()) {
      position = same->second;
    } else if (auto alike = folded.find(ToUpperAscii(name)); alike != folded.end()) {
      position = alike->second;
    }
    if (position == block.size()) {
      block.push_back(name + "=" + value);
      index(position);
      continue;
    }
    std::string& entry = block[position];
    entry.resize(entry.find('=', 1) + 1);
    entry += value;
  }
}

void SetEnvVars(ProcessEnvironment& process,
                const std::vector<std::pair<std::string, std::string>>& variables) {
  std::vector<std::string> block = process.GetEnvironmentBlock();
  ApplyAssignments(block, variables);
  process.SetEnvironmentBlock(block);
}
