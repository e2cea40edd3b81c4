// Sockets on POSIX: what differs from Windows beyond native_socket.h (the
// rest is platform/socket_bsd.cpp).
#include <fcntl.h>
#include <poll.h>
#include <string.h>

#include "platform/posix/errno_text.h"
#include "platform/socket.h"
#include "platform/socket_bsd.h"

namespace corvane::platform {

int SocketStartup() { return 0; }
void SocketCleanup() {}

int LastSocketError() { return errno; }

std::string SocketErrorMessage(int code) { return ErrnoText(code); }

bool IsWouldBlock(int code) { return code == EAGAIN || code == EWOULDBLOCK || code == EINTR; }

// Non-blocking for the connect's duration.
int ConnectWithin(int fd, const sockaddr_in& sa, int timeout_ms) {
  const int flags = ::fcntl(fd, F_GETFL);
  ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  int r = ::connect(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
  int error = r == 0 ? 0 : errno;
  if (r < 0 && (errno == EINPROGRESS || errno == EINTR)) {
    pollfd p{fd, POLLOUT, 0};
    int ready;
    do {
      ready = ::poll(&p, 1, timeout_ms);
    } while (ready < 0 && errno == EINTR);
    socklen_t len = sizeof error;
    if (ready == 0) {
      error = ETIMEDOUT;
    } else if (ready < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) < 0) {
      error = errno;
    }
  }
  ::fcntl(fd, F_SETFL, flags);
  errno = error;
  return error == 0 ? 0 : -1;
}

static int WaitFor(SocketHandle s, short events, long long timeout_us) {
  pollfd p{static_cast<int>(s), events, 0};
  int ms = timeout_us < 0 ? -1 : static_cast<int>((timeout_us + 999) / 1000);
  if (timeout_us >= 0 && timeout_us < 1000) ms = 0;
  int r = ::poll(&p, 1, ms);
  if (r < 0) return errno == EINTR ? 0 : -1;
  return r > 0 ? 1 : 0;
}

int WaitReadable(SocketHandle s, long long timeout_us) { return WaitFor(s, POLLIN, timeout_us); }
int WaitWritable(SocketHandle s, long long timeout_us) { return WaitFor(s, POLLOUT, timeout_us); }

}  // namespace corvane::platform
