// Sockets on Windows: what differs from POSIX beyond native_socket.h (the
// rest is platform/socket_bsd.cpp).
#include "platform/socket.h"
#include "platform/socket_bsd.h"
#include "platform/system_message.h"

namespace corvane::platform {

int SocketStartup() {
  // Version 1.1; the event functions come from the same library.
  WSADATA data;
  return WSAStartup(MAKEWORD(1, 1), &data);
}

void SocketCleanup() { WSACleanup(); }

int LastSocketError() { return WSAGetLastError(); }

// The system's text without the line break and full stop at its end.
std::string SocketErrorMessage(int code) { return SystemMessageText(code); }

bool IsWouldBlock(int code) { return code == WSAEWOULDBLOCK || code == WSAEINTR; }

// Non-blocking for the connect's duration.
int ConnectWithin(SOCKET s, const sockaddr_in& sa, int timeout_ms) {
  u_long on = 1, off = 0;
  ioctlsocket(s, FIONBIO, &on);
  int error = 0;
  if (::connect(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == SOCKET_ERROR) {
    error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) {
      fd_set writable, failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(s, &writable);
      FD_SET(s, &failed);
      timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
      const int ready = select(0, nullptr, &writable, &failed, &tv);
      int len = sizeof error;
      error = 0;
      if (ready == 0) {
        error = WSAETIMEDOUT;
      } else if (ready == SOCKET_ERROR) {
        error = WSAGetLastError();
      } else if (FD_ISSET(s, &failed)) {
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len);
        if (error == 0) error = WSAECONNREFUSED;
      }
    }
  }
  ioctlsocket(s, FIONBIO, &off);
  WSASetLastError(error);
  return error == 0 ? 0 : -1;
}

static int WaitFor(SocketHandle s, bool read, long long timeout_us) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(static_cast<SOCKET>(s), &set);
  timeval tv{};
  timeval* ptv = nullptr;
  if (timeout_us >= 0) {
    tv.tv_sec = static_cast<long>(timeout_us / 1000000);
    tv.tv_usec = static_cast<long>(timeout_us % 1000000);
    ptv = &tv;
  }
  int r = read ? select(0, &set, nullptr, nullptr, ptv) : select(0, nullptr, &set, nullptr, ptv);
  if (r == SOCKET_ERROR) return -1;
  return r > 0 ? 1 : 0;
}

int WaitReadable(SocketHandle s, long long timeout_us) { return WaitFor(s, true, timeout_us); }
int WaitWritable(SocketHandle s, long long timeout_us) { return WaitFor(s, false, timeout_us); }

}  // namespace corvane::platform
