// Where the library's files live.
#pragma once

#include <string>

namespace corvane::platform {

// The directory separator of the platform ('\\' on Windows, '/' elsewhere).
char PathSeparator();

// Directory of the executable file of the host process (the program that
// loaded the library), ending with the separator.
std::string HostDirectory();

// Directory of the library file that contains this code, ending with the
// separator; empty when it cannot be determined.
std::string ModuleDirectory();

// dir + separator (when dir does not end with '\\' or '/') + name.
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace corvane::platform
