/// Setting many environment variables at once, in time linear in their number.
#ifndef PAGETRIX_PLATFORM_ENV_BLOCK_H_
#define PAGETRIX_PLATFORM_ENV_BLOCK_H_

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

/// Applies the assignments, in order, to an environment block of
/// "name=value" entries, as one call of the system's setter per assignment
/// would: a name is matched without regard to ASCII case (an exact match
/// first), an existing entry keeps its place and spelling, a new one is
/// appended. Entries whose name begins with "=" are never matched.
void ApplyAssignments(std::vector<std::string>& block,
                      const std::vector<std::pair<std::string, std::string>>& assignments);

/// Sets variables of the process environment, in order, as that many single
/// settings would (names that are empty or hold "=" are left out), in time
/// linear in their number: the block is read once, changed and installed.
void SetEnvVars(ProcessEnvironment& process,
                const std::vector<std::pair<std::string, std::string>>& variables);

#endif  // PAGETRIX_PLATFORM_ENV_BLOCK_H_
