// The library as the host program loads it: by file, its four exports
// looked up by name, as a hospital system does.
#pragma once

#include <cstdint>
#include <string>

#include "corvane_apply.h"
#include "platform/dynlib.h"

namespace corvane::host {

using InitFn = int32_t(CORVANE_CALL*)(const char*, char*, int32_t);
using ApplyFn = int32_t(CORVANE_CALL*)(int32_t, double, const char*, char*, const char*);
using CloseFn = int32_t(CORVANE_CALL*)(const char*, char*, const char*);
using SetCfgFn = int32_t(CORVANE_CALL*)(int32_t, int32_t, const char*, char*);

struct Library {
  platform::DynamicLibrary lib;
  InitFn init = nullptr;
  ApplyFn apply = nullptr;
  CloseFn close = nullptr;
  SetCfgFn setcfg = nullptr;

  // Loads the file and its four exports; false with *error saying why.
  bool Load(const std::string& path, std::string* error);
};

// The library file beside the host program.
std::string DefaultLibraryPath();

}  // namespace corvane::host
