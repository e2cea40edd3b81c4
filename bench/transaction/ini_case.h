// The ini engine's key read and key write beside their floors.
#pragma once

#include <string>

namespace corvane::bench {

// Prints one row per operation and size; the exit status.
int RunIniCase(const std::string& dir, int rounds);

}  // namespace corvane::bench
