// The C library's words for an errno value, safe on any thread.
#pragma once

#include <string.h>

#include <string>

namespace corvane::platform {

inline std::string ErrnoText(int code) {
  char buf[256];
  buf[0] = 0;
  // GNU strerror_r returns the text, which may not be buf.
  const char* text = strerror_r(code, buf, sizeof buf);
  return text ? text : buf;
}

}  // namespace corvane::platform
