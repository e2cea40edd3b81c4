// Hardware faults arrive as structured exceptions; a vectored handler sends
// a fault inside a guarded call back to the guard.  The handler stays
// installed for the life of the process and passes every other exception
// on.
#include <windows.h>

#include "platform/fault_guard.h"

namespace corvane::platform {
namespace {

struct Guard {
  void* jump[5];  // __builtin_setjmp buffer
  void* exception_list;  // head of the frame-based handler chain at entry
};

thread_local Guard* t_guard = nullptr;

// The thread's information block.  The header's segment read looks like an
// out-of-bounds access to the compiler.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
NT_TIB* ThreadInformationBlock() { return reinterpret_cast<NT_TIB*>(NtCurrentTeb()); }
#pragma GCC diagnostic pop

bool IsHardwareFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
      return true;
    default:
      return false;
  }
}

[[noreturn]] void BackToGuard(Guard* guard) {
  // The chain of frame-based handlers (32-bit) may name frames of the
  // abandoned call: restore the head it had when the guard was entered.
  NT_TIB* tib = ThreadInformationBlock();
  tib->ExceptionList = static_cast<decltype(tib->ExceptionList)>(guard->exception_list);
  __builtin_longjmp(guard->jump, 1);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* pointers) {
  Guard* guard = t_guard;
  if (guard == nullptr || !IsHardwareFault(pointers->ExceptionRecord->ExceptionCode)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  t_guard = nullptr;
  BackToGuard(guard);
}

void InstallHandlerOnce() {
  static bool installed = false;
  if (!installed) {
    AddVectoredExceptionHandler(1, &OnException);
    installed = true;
  }
}

// Kept out of line so that the jump buffer's frame is this function's.
__attribute__((noinline)) bool RunWithGuard(Guard* guard, void (*call)(void*), void* context) {
  if (__builtin_setjmp(guard->jump) != 0) return false;
  t_guard = guard;
  call(context);
  return true;
}

}  // namespace

bool CallGuarded(void (*call)(void* context), void* context) {
  InstallHandlerOnce();
  Guard guard;
  guard.exception_list = ThreadInformationBlock()->ExceptionList;
  Guard* outer = t_guard;
  bool returned = RunWithGuard(&guard, call, context);
  t_guard = outer;
  return returned;
}

}  // namespace corvane::platform
