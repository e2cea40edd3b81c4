// Threads with a stack of a chosen size (std::thread cannot choose one).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace corvane::platform {

class Thread {
 public:
  Thread() = default;
  // A thread still running is detached.
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Runs body on a new thread whose stack reserves stack_bytes (raised to
  // the platform's minimum).  False when no thread could be made.
  bool Start(std::function<void()> body, size_t stack_bytes);
  // True on the thread this object started.
  bool IsCurrent() const;
  void Join();
  // Join, giving up after timeout_ms: false then (and on the thread itself).
  bool JoinFor(int timeout_ms);
  void Detach();

  struct State;  // shared with the running thread

 private:
  std::shared_ptr<State> state_;
};

}  // namespace corvane::platform
