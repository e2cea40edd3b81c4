// TCP sockets (IPv4, blocking) and waits for a socket to become readable
// or writable.
//
// Error numbers are the platform's own (errno or WSAGetLastError); the
// message for one comes from SocketErrorMessage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane::platform {

using SocketHandle = std::intptr_t;
constexpr SocketHandle kNoSocket = -1;

// Starts and ends the platform's socket library (counted; balanced calls).
// Returns 0 or the error number.
int SocketStartup();
void SocketCleanup();

int LastSocketError();
std::string SocketErrorMessage(int code);
// True for "no data yet / try again" (EWOULDBLOCK, WSAEWOULDBLOCK, EINTR).
bool IsWouldBlock(int code);

SocketHandle CreateTcpSocket();
void CloseSocket(SocketHandle s);
// Ends both directions; a thread blocked on the socket wakes up.
void ShutdownSocket(SocketHandle s);

// Dotted IPv4 text to an address in network byte order; false when the
// text is not a dotted address.
bool ParseIpv4(const std::string& dotted, uint32_t* address);
// Host name lookup: the first IPv4 address of the answer, or 0 (0.0.0.0)
// when the name does not resolve.
uint32_t ResolveHostIpv4(const std::string& host);

// 0 or -1 (LastSocketError says why).  Address 0 (0.0.0.0) names no
// server and fails with the platform's "address not available" error.
// timeout_ms >= 0 gives up after that long with the platform's "timed out"
// error (ETIMEDOUT, WSAETIMEDOUT); < 0 waits as long as the system does.
int ConnectSocket(SocketHandle s, uint32_t address, uint16_t port, int timeout_ms = -1);
// Waits for readability; timeout_us < 0 waits without limit.
// 1 readable (or closed by the peer), 0 time limit reached, -1 error.
int WaitReadable(SocketHandle s, long long timeout_us);
int WaitWritable(SocketHandle s, long long timeout_us);
// One send or receive call: bytes moved, 0 (receive: peer closed), -1 error.
long SendSome(SocketHandle s, const void* data, size_t count);
long ReceiveSome(SocketHandle s, void* data, size_t count);

// A listening socket on address:port (port 0 picks one); kNoSocket on
// failure with *error set.
SocketHandle ListenTcp(const std::string& address, uint16_t port, int backlog, int* error);
uint16_t LocalPort(SocketHandle s);
// kNoSocket on failure; *peer gets "a.b.c.d:port".
SocketHandle AcceptSocket(SocketHandle listener, std::string* peer);

}  // namespace corvane::platform
