// Other processes: this test program itself, started again to run no test
// (it ends at once) or only the sleeper below (it runs until ended).
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/other_process.h"

namespace corvane::testing {
namespace {

PROCESS_INFORMATION StartSelf(const std::string& args) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string cmd = std::string("\"") + self + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    throw std::runtime_error("cannot start " + cmd);
  CloseHandle(pi.hThread);
  return pi;
}

}  // namespace

uint32_t EndedProcessId() {
  PROCESS_INFORMATION pi = StartSelf("--gtest_filter=-*");
  WaitForSingleObject(pi.hProcess, 60000);
  CloseHandle(pi.hProcess);
  return pi.dwProcessId;
}

RunningProcess::RunningProcess() {
  PROCESS_INFORMATION pi =
      StartSelf("--gtest_also_run_disabled_tests --gtest_filter=OtherProcess.DISABLED_Sleeper");
  id_ = pi.dwProcessId;
  handle_ = pi.hProcess;
}

RunningProcess::~RunningProcess() {
  TerminateProcess(static_cast<HANDLE>(handle_), 0);
  WaitForSingleObject(static_cast<HANDLE>(handle_), 30000);
  CloseHandle(static_cast<HANDLE>(handle_));
}

// Run only as the running process above.
TEST(OtherProcess, DISABLED_Sleeper) { Sleep(120000); }

}  // namespace corvane::testing
