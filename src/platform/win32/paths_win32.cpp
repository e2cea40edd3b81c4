#include <windows.h>

#include "platform/paths.h"

namespace corvane::platform {

char PathSeparator() { return '\\'; }

namespace {
std::string DirectoryOf(HMODULE module) {
  char buf[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(module, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return std::string();
  std::string path(buf, n);
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}
}  // namespace

// The program of a process does not change: looked up once.
std::string HostDirectory() {
  static const std::string directory = DirectoryOf(nullptr);
  return directory;
}

std::string ModuleDirectory() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&ModuleDirectory), &self)) {
    return std::string();
  }
  return DirectoryOf(self);
}

}  // namespace corvane::platform
