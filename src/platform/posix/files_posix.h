// Helpers shared by the POSIX file routines.
#pragma once

#include <cstddef>

namespace corvane::platform {

// Writes every byte, retrying after signals; false on any error.
bool WriteAll(int fd, const char* data, size_t len);

}  // namespace corvane::platform
