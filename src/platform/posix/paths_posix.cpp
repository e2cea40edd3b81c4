#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include "platform/paths.h"

namespace corvane::platform {

char PathSeparator() { return '/'; }

namespace {
std::string FindHostDirectory() {
  char buf[PATH_MAX + 1];
  ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
  if (n <= 0) return std::string();
  std::string path(buf, static_cast<size_t>(n));
  size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}
}  // namespace

// The program of a process does not change: looked up once.
std::string HostDirectory() {
  static const std::string directory = FindHostDirectory();
  return directory;
}

std::string ModuleDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModuleDirectory), &info) == 0 || !info.dli_fname) {
    return std::string();
  }
  std::string path = info.dli_fname;
  size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace corvane::platform
