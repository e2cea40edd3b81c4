#include <dlfcn.h>

#include "platform/dynlib.h"

namespace corvane::platform {

DynamicLibrary::~DynamicLibrary() { Close(); }

bool DynamicLibrary::Open(const std::string& path) {
  Close();
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* e = dlerror();
    error_ = e ? e : "cannot load " + path;
    return false;
  }
  error_.clear();
  return true;
}

void DynamicLibrary::Close() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) {
  if (!handle_) {
    error_ = "library not loaded";
    return nullptr;
  }
  dlerror();
  void* p = dlsym(handle_, name);
  if (!p) {
    const char* e = dlerror();
    error_ = e ? e : std::string("symbol not found: ") + name;
  }
  return p;
}

std::string SharedLibraryFileName(const std::string& name) { return "lib" + name + ".so"; }

}  // namespace corvane::platform
