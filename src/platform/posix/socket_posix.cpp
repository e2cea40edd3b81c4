#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>

#include "platform/socket.h"

namespace corvane::platform {

int SocketStartup() { return 0; }
void SocketCleanup() {}

int LastSocketError() { return errno; }

std::string SocketErrorMessage(int code) {
  char buf[256];
  buf[0] = 0;
  // GNU strerror_r returns the text, which may not be buf.
  const char* text = strerror_r(code, buf, sizeof buf);
  return text ? text : buf;
}

bool IsWouldBlock(int code) { return code == EAGAIN || code == EWOULDBLOCK || code == EINTR; }

SocketHandle CreateTcpSocket() {
  int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (s < 0) return kNoSocket;
  int one = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return s;
}

void CloseSocket(SocketHandle s) {
  if (s != kNoSocket) ::close(static_cast<int>(s));
}

void ShutdownSocket(SocketHandle s) {
  if (s != kNoSocket) ::shutdown(static_cast<int>(s), SHUT_RDWR);
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
static int ConnectWithin(int fd, const sockaddr_in& sa, int timeout_ms) {
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

int ConnectSocket(SocketHandle s, uint32_t address, uint16_t port, int timeout_ms) {
  // 0.0.0.0 (a name that did not resolve, an address that did not parse)
  // names no server: the stack would take it for this machine and reach
  // whatever listens here.
  if (address == 0) {
    errno = EADDRNOTAVAIL;
    return -1;
  }
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = address;
  sa.sin_port = htons(port);
  if (timeout_ms >= 0) return ConnectWithin(static_cast<int>(s), sa, timeout_ms);
  int r;
  do {
    r = ::connect(static_cast<int>(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  } while (r < 0 && errno == EINTR);
  return r == 0 ? 0 : -1;
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

long SendSome(SocketHandle s, const void* data, size_t count) {
  return static_cast<long>(::send(static_cast<int>(s), data, count, MSG_NOSIGNAL));
}

long ReceiveSome(SocketHandle s, void* data, size_t count) {
  return static_cast<long>(::recv(static_cast<int>(s), data, count, 0));
}

SocketHandle ListenTcp(const std::string& address, uint16_t port, int backlog, int* error) {
  uint32_t a = 0;
  if (!address.empty() && !ParseIpv4(address, &a)) {
    *error = EINVAL;
    return kNoSocket;
  }
  int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (s < 0) {
    *error = errno;
    return kNoSocket;
  }
  int one = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = a;
  sa.sin_port = htons(port);
  if (::bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0 || ::listen(s, backlog) < 0) {
    *error = errno;
    ::close(s);
    return kNoSocket;
  }
  return s;
}

uint16_t LocalPort(SocketHandle s) {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  if (getsockname(static_cast<int>(s), reinterpret_cast<sockaddr*>(&sa), &len) < 0) return 0;
  return ntohs(sa.sin_port);
}

SocketHandle AcceptSocket(SocketHandle listener, std::string* peer) {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  int s;
  do {
    s = ::accept4(static_cast<int>(listener), reinterpret_cast<sockaddr*>(&sa), &len, SOCK_CLOEXEC);
  } while (s < 0 && errno == EINTR);
  if (s < 0) return kNoSocket;
  int one = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (peer) {
    char buf[INET_ADDRSTRLEN] = {0};
    inet_ntop(AF_INET, &sa.sin_addr, buf, sizeof buf);
    *peer = std::string(buf) + ":" + std::to_string(ntohs(sa.sin_port));
  }
  return s;
}

}  // namespace corvane::platform
