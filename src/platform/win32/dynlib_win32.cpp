#include <windows.h>

#include "platform/dynlib.h"
#include "platform/dynlib_native.h"
#include "platform/system_message.h"

namespace corvane::platform {

void* LoadNativeLibrary(const std::string& path, std::string* error) {
  HMODULE handle = LoadLibraryA(path.c_str());
  if (!handle) *error = path + ": " + SystemErrorText(static_cast<int>(GetLastError()));
  return reinterpret_cast<void*>(handle);
}

void FreeNativeLibrary(void* handle) { FreeLibrary(reinterpret_cast<HMODULE>(handle)); }

void* NativeLibrarySymbol(void* handle, const char* name, std::string* error) {
  void* p = reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name));
  if (!p) *error = std::string(name) + ": " + SystemErrorText(static_cast<int>(GetLastError()));
  return p;
}

std::string SharedLibraryFileName(const std::string& name) { return name + ".dll"; }

}  // namespace corvane::platform
