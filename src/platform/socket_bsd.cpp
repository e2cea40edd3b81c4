// The BSD socket calls both platforms make alike; the names that differ come
// from this platform's native_socket.h, the waits and the connect with a
// time limit from socket_posix.cpp or socket_win32.cpp.
#include <algorithm>

#include "platform/socket.h"
#include "platform/socket_bsd.h"

namespace corvane::platform {
namespace {

native::Raw Raw(SocketHandle s) { return static_cast<native::Raw>(s); }

void SetNoDelay(native::Raw s) {
  int one = 1;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
}

sockaddr_in Ipv4Address(uint32_t address, uint16_t port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = address;
  sa.sin_port = htons(port);
  return sa;
}

}  // namespace

SocketHandle CreateTcpSocket() {
  const native::Raw s = native::OpenTcp();
  if (s == native::kInvalid) return kNoSocket;
  SetNoDelay(s);
  return static_cast<SocketHandle>(s);
}

void CloseSocket(SocketHandle s) {
  if (s != kNoSocket) native::Close(Raw(s));
}

void ShutdownSocket(SocketHandle s) {
  if (s != kNoSocket) ::shutdown(Raw(s), native::kShutBoth);
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

int ConnectSocket(SocketHandle s, uint32_t address, uint16_t port, int timeout_ms) {
  // 0.0.0.0 (a name that did not resolve, an address that did not parse)
  // names no server: the stack would take it for this machine and reach
  // whatever listens here.
  if (address == 0) {
    native::SetSocketError(native::kAddressNotAvailable);
    return -1;
  }
  const sockaddr_in sa = Ipv4Address(address, port);
  if (timeout_ms >= 0) return ConnectWithin(Raw(s), sa, timeout_ms);
  int r;
  do {
    r = ::connect(Raw(s), reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
  } while (r != 0 && native::Interrupted(LastSocketError()));
  return r == 0 ? 0 : -1;
}

long SendSome(SocketHandle s, const void* data, size_t count) {
  const auto n = static_cast<native::IoLength>(std::min(count, native::kMostPerCall));
  return static_cast<long>(::send(Raw(s), static_cast<const char*>(data), n, native::kSendFlags));
}

long ReceiveSome(SocketHandle s, void* data, size_t count) {
  const auto n = static_cast<native::IoLength>(std::min(count, native::kMostPerCall));
  return static_cast<long>(::recv(Raw(s), static_cast<char*>(data), n, 0));
}

SocketHandle ListenTcp(const std::string& address, uint16_t port, int backlog, int* error) {
  uint32_t a = 0;
  if (!address.empty() && !ParseIpv4(address, &a)) {
    *error = native::kInvalidArgument;
    return kNoSocket;
  }
  const native::Raw s = native::OpenTcp();
  if (s == native::kInvalid) {
    *error = LastSocketError();
    return kNoSocket;
  }
  native::PrepareListener(s);
  const sockaddr_in sa = Ipv4Address(a, port);
  if (::bind(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0 ||
      ::listen(s, backlog) != 0) {
    *error = LastSocketError();
    native::Close(s);
    return kNoSocket;
  }
  return static_cast<SocketHandle>(s);
}

uint16_t LocalPort(SocketHandle s) {
  sockaddr_in sa{};
  native::AddressLength len = sizeof sa;
  if (getsockname(Raw(s), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return 0;
  return ntohs(sa.sin_port);
}

SocketHandle AcceptSocket(SocketHandle listener, std::string* peer) {
  sockaddr_in sa{};
  native::AddressLength len = sizeof sa;
  native::Raw s;
  do {
    s = native::Accept(Raw(listener), &sa, &len);
  } while (s == native::kInvalid && native::Interrupted(LastSocketError()));
  if (s == native::kInvalid) return kNoSocket;
  SetNoDelay(s);
  if (peer) {
    char buf[INET_ADDRSTRLEN] = {0};
    inet_ntop(AF_INET, &sa.sin_addr, buf, sizeof buf);
    *peer = std::string(buf) + ":" + std::to_string(ntohs(sa.sin_port));
  }
  return static_cast<SocketHandle>(s);
}

}  // namespace corvane::platform
