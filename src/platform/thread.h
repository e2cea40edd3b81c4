// Threads with a stack of a chosen size (std::thread cannot choose one).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace corvane::platform {

class Thread {
 public:
  Thread() = default;
  // A thread still running is detached.
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Runs body on a new thread whose stack reserves stack_bytes (raised to
  // the platform's minimum).  False when no thread could be made, with the
  // system's words (SystemErrorText) in *why.
  bool Start(std::function<void()> body, size_t stack_bytes, std::string* why);
  // True on the thread this object started.
  bool IsCurrent() const;
  void Join();
  // Join, giving up after timeout_ms: false then (and on the thread itself).
  // With look_us > 0 the end is first looked for that long without
  // sleeping (for a thread known to be ending on another processor, whose
  // end then needs no wake-up of this one).
  bool JoinFor(int timeout_ms, int look_us = 0);
  void Detach();

  struct State;  // shared with the running thread

  // The processor the calling thread runs on, -1 when unknown.
  static int CurrentProcessor();

 private:
  std::shared_ptr<State> state_;
};

}  // namespace corvane::platform
