/// %NAME% expansion of environment references, written out for systems without it.
#ifndef PAGETRIX_PLATFORM_ENV_EXPAND_H_
#define PAGETRIX_PLATFORM_ENV_EXPAND_H_

#include <functional>
#include <string>

/// Finds a variable's value; false if it is not defined.
using EnvironmentLookup = std::function<bool(const std::string& name, std::string* value)>;

/// Replaces each %NAME% of a defined variable by its value. For an undefined
/// name the "%" and the name are copied and scanning goes on at the closing
/// "%", which may open the next reference; a "%" without a closing one stays.
std::string ExpandPercentReferences(const std::string& text, const EnvironmentLookup& lookup);

#endif  // PAGETRIX_PLATFORM_ENV_EXPAND_H_
