#include <windows.h>

#include <memory>

#include "platform/thread.h"

namespace corvane::platform {

struct Thread::State {
  HANDLE handle = nullptr;
  DWORD id = 0;
  std::function<void()> body;
};

namespace {

DWORD WINAPI Enter(LPVOID arg) {
  // The thread's own reference: the body lives as long as the thread.
  std::unique_ptr<std::shared_ptr<Thread::State>> state(static_cast<std::shared_ptr<Thread::State>*>(arg));
  (*state)->body();
  (*state)->body = nullptr;
  return 0;
}

}  // namespace

Thread::~Thread() { Detach(); }

bool Thread::Start(std::function<void()> body, size_t stack_bytes) {
  if (state_) return false;
  auto state = std::make_shared<State>();
  state->body = std::move(body);
  auto* arg = new std::shared_ptr<State>(state);
  // Suspended until the handle is stored: the thread may end at once.
  state->handle = CreateThread(nullptr, stack_bytes, Enter, arg,
                               STACK_SIZE_PARAM_IS_A_RESERVATION | CREATE_SUSPENDED, &state->id);
  if (!state->handle) {
    delete arg;
    return false;
  }
  state_ = state;
  ResumeThread(state->handle);
  return true;
}

bool Thread::IsCurrent() const { return state_ && state_->id == GetCurrentThreadId(); }

void Thread::Join() {
  if (!state_ || IsCurrent()) return;
  WaitForSingleObject(state_->handle, INFINITE);
  CloseHandle(state_->handle);
  state_.reset();
}

bool Thread::JoinFor(int timeout_ms) {
  if (!state_ || IsCurrent()) return false;
  if (WaitForSingleObject(state_->handle, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0)
    return false;
  CloseHandle(state_->handle);
  state_.reset();
  return true;
}

void Thread::Detach() {
  if (!state_) return;
  CloseHandle(state_->handle);
  state_.reset();
}

}  // namespace corvane::platform
