#include <stdlib.h>

#include "platform/environment.h"

namespace corvane::platform {

std::string EnvironmentValue(const std::string& name) {
  const char* v = getenv(name.c_str());
  return v ? std::string(v) : std::string();
}

bool SetEnvironmentValue(const std::string& name, const std::string& value) {
  if (value.empty()) return unsetenv(name.c_str()) == 0;
  return setenv(name.c_str(), value.c_str(), 1) == 0;
}

}  // namespace corvane::platform
