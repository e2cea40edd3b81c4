#include <dlfcn.h>

#include "platform/dynlib.h"
#include "platform/dynlib_native.h"

namespace corvane::platform {

void* LoadNativeLibrary(const std::string& path, std::string* error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* e = dlerror();
    *error = e ? e : "cannot load " + path;
  }
  return handle;
}

void FreeNativeLibrary(void* handle) { dlclose(handle); }

void* NativeLibrarySymbol(void* handle, const char* name, std::string* error) {
  dlerror();
  void* p = dlsym(handle, name);
  if (!p) {
    const char* e = dlerror();
    *error = e ? e : std::string("symbol not found: ") + name;
  }
  return p;
}

std::string SharedLibraryFileName(const std::string& name) { return "lib" + name + ".so"; }

}  // namespace corvane::platform
