// Process environment variables.  The library itself reads none; tools and
// tests use them to point simulators at temporary directories.
#pragma once

#include <string>

namespace corvane::platform {

// The value of a variable, or empty when it is not set.
std::string EnvironmentValue(const std::string& name);

// Sets (or, for an empty value, removes) a variable of this process, so that
// every module of the process sees it.
bool SetEnvironmentValue(const std::string& name, const std::string& value);

}  // namespace corvane::platform
