// The thread object on both platforms; thread_native.h names what each
// platform adds.
#include <chrono>
#include <memory>

#include "platform/thread.h"
#include "platform/thread_native.h"

namespace corvane::platform {

struct Thread::State {
  NativeThread native;
  std::function<void()> body;
};

void RunThreadBody(void* arg) {
  // The thread's own reference: the body lives as long as the thread.
  std::unique_ptr<std::shared_ptr<Thread::State>> state(static_cast<std::shared_ptr<Thread::State>*>(arg));
  (*state)->body();
  (*state)->body = nullptr;
}

Thread::~Thread() { Detach(); }

bool Thread::Start(std::function<void()> body, size_t stack_bytes, std::string* why) {
  if (state_) {
    *why = "this thread object is already running a thread";
    return false;
  }
  auto state = std::make_shared<State>();
  state->body = std::move(body);
  auto* arg = new std::shared_ptr<State>(state);
  if (!StartNativeThread(&state->native, stack_bytes, arg, why)) {
    delete arg;
    return false;
  }
  state_ = std::move(state);
  return true;
}

bool Thread::IsCurrent() const { return state_ && IsCurrentNativeThread(state_->native); }

void Thread::Join() { JoinFor(-1); }

bool Thread::JoinFor(int timeout_ms, int look_us) {
  if (!state_ || IsCurrent()) return false;
  bool ended = false;
  if (look_us > 0) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(look_us);
    while (!(ended = NativeThreadEnded(&state_->native)) && std::chrono::steady_clock::now() < until) {
    }
  }
  if (!ended && !WaitNativeThreadEnd(&state_->native, timeout_ms)) return false;
  state_.reset();
  return true;
}

int Thread::CurrentProcessor() { return CurrentNativeProcessor(); }

void Thread::Detach() {
  if (!state_) return;
  ReleaseNativeThread(&state_->native);
  state_.reset();
}

}  // namespace corvane::platform
