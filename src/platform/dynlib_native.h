// What each platform supplies to the loader of dynlib_common.cpp: loading,
// freeing and looking into a library by the system's handle.
#pragma once

#include <string>

namespace corvane::platform {

// The library at path, or null with the system's reason in *error.
void* LoadNativeLibrary(const std::string& path, std::string* error);
void FreeNativeLibrary(void* handle);
// The address of an exported symbol, or null with the reason in *error.
void* NativeLibrarySymbol(void* handle, const char* name, std::string* error);

}  // namespace corvane::platform
