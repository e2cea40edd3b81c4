#include <windows.h>

#include "platform/system_message.h"
#include "platform/thread_native.h"

namespace corvane::platform {
namespace {

DWORD WINAPI Enter(LPVOID arg) {
  RunThreadBody(arg);
  return 0;
}

}  // namespace

bool StartNativeThread(NativeThread* t, size_t stack_bytes, void* arg, std::string* why) {
  // Suspended until the handle is stored: the thread may end at once.
  t->handle = CreateThread(nullptr, stack_bytes, Enter, arg,
                           STACK_SIZE_PARAM_IS_A_RESERVATION | CREATE_SUSPENDED, &t->id);
  if (!t->handle) {
    *why = SystemErrorText(static_cast<int>(GetLastError()));
    return false;
  }
  ResumeThread(t->handle);
  return true;
}

bool IsCurrentNativeThread(const NativeThread& t) { return t.id == GetCurrentThreadId(); }

bool WaitNativeThreadEnd(NativeThread* t, int timeout_ms) {
  const DWORD wait = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
  if (WaitForSingleObject(t->handle, wait) != WAIT_OBJECT_0) return false;
  CloseHandle(t->handle);
  return true;
}

bool NativeThreadEnded(NativeThread* t) { return WaitNativeThreadEnd(t, 0); }

int CurrentNativeProcessor() { return static_cast<int>(GetCurrentProcessorNumber()); }

void ReleaseNativeThread(NativeThread* t) { CloseHandle(t->handle); }

}  // namespace corvane::platform
