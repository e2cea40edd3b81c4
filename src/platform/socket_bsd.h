// What each platform supplies to the BSD socket calls of socket_bsd.cpp:
// the names that differ (native_socket.h in posix/ or win32/) and the
// connect with a time limit.
#pragma once

#include "native_socket.h"

namespace corvane::platform {

// A connect given up after timeout_ms, with the platform's "timed out"
// error; 0 or -1 (LastSocketError says why).
int ConnectWithin(native::Raw s, const sockaddr_in& sa, int timeout_ms);

}  // namespace corvane::platform
