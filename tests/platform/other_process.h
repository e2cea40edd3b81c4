// Test support: other processes whose temporary files the durable replace
// finds beside its target.
#pragma once

#include <cstdint>

namespace corvane::testing {

// The id of a process that has started and ended.
uint32_t EndedProcessId();

// A process that runs until the object goes.
class RunningProcess {
 public:
  RunningProcess();
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;
  uint32_t id() const { return id_; }

 private:
  uint32_t id_ = 0;
  void* handle_ = nullptr;
};

}  // namespace corvane::testing
