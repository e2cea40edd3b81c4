// Platform-independent parts of the paths layer.
#include "platform/paths.h"

namespace corvane::platform {

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  const char last = dir.back();
  if (last == '\\' || last == '/') return dir + name;
  return dir + PathSeparator() + name;
}

}  // namespace corvane::platform
