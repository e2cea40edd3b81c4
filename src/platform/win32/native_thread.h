// A thread as Windows knows it (see platform/thread_native.h).
#pragma once

#include <windows.h>

namespace corvane::platform {

struct NativeThread {
  HANDLE handle = nullptr;
  DWORD id = 0;
};

}  // namespace corvane::platform
