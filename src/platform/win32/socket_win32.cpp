#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "platform/socket.h"

namespace corvane::platform {

int SocketStartup() {
  // Version 1.1; the event functions come from the same library.
  WSADATA data;
  return WSAStartup(MAKEWORD(1, 1), &data);
}

void SocketCleanup() { WSACleanup(); }

int LastSocketError() { return WSAGetLastError(); }

std::string SocketErrorMessage(int code) {
  char buf[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, buf, sizeof buf, nullptr);
  std::string text(buf, n);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '.'))
    text.pop_back();
  return text;
}

bool IsWouldBlock(int code) { return code == WSAEWOULDBLOCK || code == WSAEINTR; }

static SOCKET Raw(SocketHandle s) { return static_cast<SOCKET>(s); }

SocketHandle CreateTcpSocket() {
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return kNoSocket;
  BOOL one = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
  return static_cast<SocketHandle>(s);
}

void CloseSocket(SocketHandle s) {
  if (s != kNoSocket) closesocket(Raw(s));
}

void ShutdownSocket(SocketHandle s) {
  if (s != kNoSocket) shutdown(Raw(s), SD_BOTH);
}

bool ParseIpv4(const std::string& dotted, uint32_t* address) {
  in_addr a{};
  if (inet_pton(AF_INET, dotted.c_str(), &a) != 1) return false;
  *address = a.s_addr;
  return true;
}

uint32_t ResolveHostIpv4(const std::string& host) {
  uint32_t a = 0;
  if (ParseIpv4(host, &a)) return a;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || !res) return 0;
  a = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(res);
  return a;
}

// A connect given up after timeout_ms: non-blocking for its duration.
static int ConnectWithin(SOCKET s, const sockaddr_in& sa, int timeout_ms) {
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

int ConnectSocket(SocketHandle s, uint32_t address, uint16_t port, int timeout_ms) {
  // 0.0.0.0 names no server (some stacks would reach this machine).
  if (address == 0) {
    WSASetLastError(WSAEADDRNOTAVAIL);
    return -1;
  }
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = address;
  sa.sin_port = htons(port);
  if (timeout_ms >= 0) return ConnectWithin(Raw(s), sa, timeout_ms);
  return ::connect(Raw(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 ? 0 : -1;
}

static int WaitFor(SocketHandle s, bool read, long long timeout_us) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(Raw(s), &set);
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

long SendSome(SocketHandle s, const void* data, size_t count) {
  int n = count > 0x40000000 ? 0x40000000 : static_cast<int>(count);
  int r = ::send(Raw(s), static_cast<const char*>(data), n, 0);
  return r == SOCKET_ERROR ? -1 : r;
}

long ReceiveSome(SocketHandle s, void* data, size_t count) {
  int n = count > 0x40000000 ? 0x40000000 : static_cast<int>(count);
  int r = ::recv(Raw(s), static_cast<char*>(data), n, 0);
  return r == SOCKET_ERROR ? -1 : r;
}

SocketHandle ListenTcp(const std::string& address, uint16_t port, int backlog, int* error) {
  uint32_t a = 0;
  if (!address.empty() && !ParseIpv4(address, &a)) {
    *error = WSAEINVAL;
    return kNoSocket;
  }
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) {
    *error = WSAGetLastError();
    return kNoSocket;
  }
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = a;
  sa.sin_port = htons(port);
  if (bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == SOCKET_ERROR ||
      listen(s, backlog) == SOCKET_ERROR) {
    *error = WSAGetLastError();
    closesocket(s);
    return kNoSocket;
  }
  return static_cast<SocketHandle>(s);
}

uint16_t LocalPort(SocketHandle s) {
  sockaddr_in sa{};
  int len = sizeof sa;
  if (getsockname(Raw(s), reinterpret_cast<sockaddr*>(&sa), &len) == SOCKET_ERROR) return 0;
  return ntohs(sa.sin_port);
}

SocketHandle AcceptSocket(SocketHandle listener, std::string* peer) {
  sockaddr_in sa{};
  int len = sizeof sa;
  SOCKET s = ::accept(Raw(listener), reinterpret_cast<sockaddr*>(&sa), &len);
  if (s == INVALID_SOCKET) return kNoSocket;
  BOOL one = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
  if (peer) {
    char buf[INET_ADDRSTRLEN] = {0};
    inet_ntop(AF_INET, &sa.sin_addr, buf, sizeof buf);
    *peer = std::string(buf) + ":" + std::to_string(ntohs(sa.sin_port));
  }
  return static_cast<SocketHandle>(s);
}

}  // namespace corvane::platform
