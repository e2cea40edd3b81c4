#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "platform/other_process.h"

namespace corvane::testing {

uint32_t EndedProcessId() {
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return static_cast<uint32_t>(pid);
}

RunningProcess::RunningProcess() {
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    for (;;) pause();
  }
  id_ = static_cast<uint32_t>(pid);
}

RunningProcess::~RunningProcess() {
  kill(static_cast<pid_t>(id_), SIGKILL);
  waitpid(static_cast<pid_t>(id_), nullptr, 0);
}

}  // namespace corvane::testing
