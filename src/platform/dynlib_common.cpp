// The shared-library loader on both platforms; dynlib_native.h names what
// each platform adds.
#include "platform/dynlib.h"
#include "platform/dynlib_native.h"

namespace corvane::platform {

DynamicLibrary::~DynamicLibrary() { Close(); }

bool DynamicLibrary::Open(const std::string& path) {
  Close();
  handle_ = LoadNativeLibrary(path, &error_);
  if (!handle_) return false;
  error_.clear();
  return true;
}

void DynamicLibrary::Close() {
  if (handle_) FreeNativeLibrary(handle_);
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) {
  if (!handle_) {
    error_ = "library not loaded";
    return nullptr;
  }
  return NativeLibrarySymbol(handle_, name, &error_);
}

}  // namespace corvane::platform
