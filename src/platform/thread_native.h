// What each platform supplies to the threads of thread_common.cpp: its
// handle of a thread (NativeThread, in posix/ or win32/native_thread.h) and
// the calls that start, wait for and let go of one.
#pragma once

#include <cstddef>
#include <string>

#include "native_thread.h"

namespace corvane::platform {

// Starts a thread that runs RunThreadBody(arg) with a stack reserving
// stack_bytes (raised to the platform's minimum); *t is set before it runs.
// False when no thread could be made, with the system's words in *why.
bool StartNativeThread(NativeThread* t, size_t stack_bytes, void* arg, std::string* why);
// The body of every thread (thread_common.cpp).
void RunThreadBody(void* arg);
bool IsCurrentNativeThread(const NativeThread& t);
// Waits for the thread's end, timeout_ms < 0 without limit; true once it has
// ended and its handle is released.
bool WaitNativeThreadEnd(NativeThread* t, int timeout_ms);
// As WaitNativeThreadEnd, without waiting.
bool NativeThreadEnded(NativeThread* t);
int CurrentNativeProcessor();
// Lets a running thread go on alone.
void ReleaseNativeThread(NativeThread* t);

}  // namespace corvane::platform
