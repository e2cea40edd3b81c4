#include <limits.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>

#include "platform/system_message.h"
#include "platform/thread_native.h"

namespace corvane::platform {
namespace {

void* Enter(void* arg) {
  RunThreadBody(arg);
  return nullptr;
}

}  // namespace

bool StartNativeThread(NativeThread* t, size_t stack_bytes, void* arg, std::string* why) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  const size_t least = static_cast<size_t>(PTHREAD_STACK_MIN);
  if (stack_bytes < least) stack_bytes = least;
  pthread_attr_setstacksize(&attr, stack_bytes);
  const int r = pthread_create(&t->id, &attr, Enter, arg);
  pthread_attr_destroy(&attr);
  if (r != 0) *why = SystemErrorText(r);
  return r == 0;
}

bool IsCurrentNativeThread(const NativeThread& t) { return pthread_equal(t.id, pthread_self()); }

bool WaitNativeThreadEnd(NativeThread* t, int timeout_ms) {
  if (timeout_ms < 0) return pthread_join(t->id, nullptr) == 0;
  timespec until;
  clock_gettime(CLOCK_MONOTONIC, &until);
  until.tv_sec += timeout_ms / 1000;
  until.tv_nsec += (timeout_ms % 1000) * 1000000L;
  if (until.tv_nsec >= 1000000000L) {
    until.tv_sec += 1;
    until.tv_nsec -= 1000000000L;
  }
  return pthread_clockjoin_np(t->id, nullptr, CLOCK_MONOTONIC, &until) == 0;
}

bool NativeThreadEnded(NativeThread* t) { return pthread_tryjoin_np(t->id, nullptr) == 0; }

int CurrentNativeProcessor() { return sched_getcpu(); }

void ReleaseNativeThread(NativeThread* t) { pthread_detach(t->id); }

}  // namespace corvane::platform
