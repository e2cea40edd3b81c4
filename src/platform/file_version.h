// The version number that a program or library file carries.
#pragma once

#include <string>

namespace corvane::platform {

// Windows: the file version of the file's version resource ("1.1.0" from
// 1,1,0,0).  Elsewhere: the version of the first what-string in the file,
// "@(#)" + name + blank + version, ended by a zero byte.  Empty when the
// file carries none; *error then says why.
std::string FileVersion(const std::string& path, std::string* error);

}  // namespace corvane::platform
