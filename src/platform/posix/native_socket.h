// The POSIX side of the BSD socket calls that differ on Windows (see
// platform/socket_bsd.cpp).
#pragma once

#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <limits>

namespace corvane::platform::native {

using Raw = int;
using AddressLength = socklen_t;
using IoLength = size_t;
constexpr Raw kInvalid = -1;
constexpr size_t kMostPerCall = std::numeric_limits<size_t>::max();
// A peer gone raises no signal: the send fails with EPIPE.
constexpr int kSendFlags = MSG_NOSIGNAL;
constexpr int kShutBoth = SHUT_RDWR;
constexpr int kInvalidArgument = EINVAL;
constexpr int kAddressNotAvailable = EADDRNOTAVAIL;

inline void SetSocketError(int code) { errno = code; }
// A call cut short by a signal, to be made again.
inline bool Interrupted(int code) { return code == EINTR; }
inline Raw OpenTcp() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP); }
inline void Close(Raw s) { ::close(s); }
inline Raw Accept(Raw listener, sockaddr_in* sa, AddressLength* len) {
  return ::accept4(listener, reinterpret_cast<sockaddr*>(sa), len, SOCK_CLOEXEC);
}
// A listener restarted at once takes its port back.
inline void PrepareListener(Raw s) {
  int one = 1;
  ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
}

}  // namespace corvane::platform::native
