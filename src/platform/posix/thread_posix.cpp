#include <limits.h>
#include <pthread.h>
#include <time.h>

#include <memory>

#include "platform/thread.h"

namespace corvane::platform {

struct Thread::State {
  pthread_t id;
  std::function<void()> body;
};

namespace {

void* Enter(void* arg) {
  // The thread's own reference: the body lives as long as the thread.
  std::unique_ptr<std::shared_ptr<Thread::State>> state(static_cast<std::shared_ptr<Thread::State>*>(arg));
  (*state)->body();
  (*state)->body = nullptr;
  return nullptr;
}

}  // namespace

Thread::~Thread() { Detach(); }

bool Thread::Start(std::function<void()> body, size_t stack_bytes) {
  if (state_) return false;
  auto state = std::make_shared<State>();
  state->body = std::move(body);
  auto* arg = new std::shared_ptr<State>(state);
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  const size_t least = static_cast<size_t>(PTHREAD_STACK_MIN);
  if (stack_bytes < least) stack_bytes = least;
  pthread_attr_setstacksize(&attr, stack_bytes);
  int r = pthread_create(&state->id, &attr, Enter, arg);
  pthread_attr_destroy(&attr);
  if (r != 0) {
    delete arg;
    return false;
  }
  state_ = std::move(state);
  return true;
}

bool Thread::IsCurrent() const { return state_ && pthread_equal(state_->id, pthread_self()); }

void Thread::Join() {
  if (!state_ || IsCurrent()) return;
  pthread_join(state_->id, nullptr);
  state_.reset();
}

bool Thread::JoinFor(int timeout_ms) {
  if (!state_ || IsCurrent()) return false;
  timespec until;
  clock_gettime(CLOCK_MONOTONIC, &until);
  until.tv_sec += timeout_ms / 1000;
  until.tv_nsec += (timeout_ms % 1000) * 1000000L;
  if (until.tv_nsec >= 1000000000L) {
    until.tv_sec += 1;
    until.tv_nsec -= 1000000000L;
  }
  if (pthread_clockjoin_np(state_->id, nullptr, CLOCK_MONOTONIC, &until) != 0) return false;
  state_.reset();
  return true;
}

void Thread::Detach() {
  if (!state_) return;
  pthread_detach(state_->id);
  state_.reset();
}

}  // namespace corvane::platform
