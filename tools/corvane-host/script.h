// Script files: one command per line, its arguments separated by tabs;
// empty lines and lines starting with '#' are skipped.
#pragma once

#include <string>
#include <vector>

namespace corvane::host {

// Appends the file's commands; false when it cannot be read.
bool ReadScript(const char* path, std::vector<std::vector<std::string>>* commands);

}  // namespace corvane::host
