// Hardware faults arrive as signals; a fault inside a guarded call jumps
// back to the guard.  The handlers are installed only for the length of the
// call and the previous ones restored afterwards.
#include <setjmp.h>
#include <signal.h>

#include "platform/fault_guard.h"

namespace corvane::platform {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE};
constexpr int kFaultSignalCount = sizeof kFaultSignals / sizeof kFaultSignals[0];

thread_local sigjmp_buf* t_guard = nullptr;
struct sigaction g_previous[kFaultSignalCount];

void OnFault(int signal, siginfo_t* info, void* context) {
  if (t_guard != nullptr) siglongjmp(*t_guard, 1);
  // Not ours: hand the signal to the handler that was there before.
  for (int i = 0; i < kFaultSignalCount; ++i) {
    if (kFaultSignals[i] != signal) continue;
    const struct sigaction& old = g_previous[i];
    if (old.sa_flags & SA_SIGINFO) {
      old.sa_sigaction(signal, info, context);
    } else if (old.sa_handler != SIG_IGN && old.sa_handler != SIG_DFL) {
      old.sa_handler(signal);
    } else {
      // Returning re-runs the faulting instruction under the default action.
      sigaction(signal, &old, nullptr);
    }
  }
}

}  // namespace

bool CallGuarded(void (*call)(void* context), void* context) {
  struct sigaction action = {};
  action.sa_sigaction = &OnFault;
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kFaultSignalCount; ++i) {
    sigaction(kFaultSignals[i], &action, &g_previous[i]);
  }
  sigjmp_buf guard;
  sigjmp_buf* volatile outer = t_guard;
  volatile bool returned = false;
  if (sigsetjmp(guard, 1) == 0) {
    t_guard = &guard;
    call(context);
    returned = true;
  }
  t_guard = outer;
  for (int i = 0; i < kFaultSignalCount; ++i) {
    sigaction(kFaultSignals[i], &g_previous[i], nullptr);
  }
  return returned;
}

}  // namespace corvane::platform
