// A library for LD_PRELOAD that refuses every new thread as a process at
// its thread limit would (EAGAIN), so that a whole-flow test can make the
// connection's thread fail to start whatever the user (root is not held
// to RLIMIT_NPROC).
#include <errno.h>

extern "C" __attribute__((visibility("default"))) int pthread_create(void*, const void*,
                                                                     void* (*)(void*), void*) {
  return EAGAIN;
}
