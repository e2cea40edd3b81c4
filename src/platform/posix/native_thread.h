// A thread as POSIX knows it (see platform/thread_native.h).
#pragma once

#include <pthread.h>

namespace corvane::platform {

struct NativeThread {
  pthread_t id{};
};

}  // namespace corvane::platform
