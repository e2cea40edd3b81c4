#include <windows.h>

#include <vector>

#include "platform/environment.h"

namespace corvane::platform {

// The process's own environment block, not a C runtime's copy: a DLL with
// its own runtime sees what the program set after the DLL was loaded.
std::string EnvironmentValue(const std::string& name) {
  DWORD n = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (n == 0) return std::string();
  std::vector<char> buf(n + 1);
  DWORD got = GetEnvironmentVariableA(name.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
  if (got == 0 || got >= buf.size()) return std::string();
  return std::string(buf.data(), got);
}

bool SetEnvironmentValue(const std::string& name, const std::string& value) {
  return SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str()) != 0;
}

}  // namespace corvane::platform
