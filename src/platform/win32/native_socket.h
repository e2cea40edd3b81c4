// The Winsock side of the BSD socket calls that differ on POSIX (see
// platform/socket_bsd.cpp).
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstddef>

namespace corvane::platform::native {

using Raw = SOCKET;
using AddressLength = int;
using IoLength = int;
constexpr Raw kInvalid = INVALID_SOCKET;
constexpr size_t kMostPerCall = 0x40000000;
constexpr int kSendFlags = 0;
constexpr int kShutBoth = SD_BOTH;
constexpr int kInvalidArgument = WSAEINVAL;
constexpr int kAddressNotAvailable = WSAEADDRNOTAVAIL;

inline void SetSocketError(int code) { WSASetLastError(code); }
// Winsock calls are not cut short by signals: nothing is made again.
inline bool Interrupted(int) { return false; }
inline Raw OpenTcp() { return ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP); }
inline void Close(Raw s) { ::closesocket(s); }
inline Raw Accept(Raw listener, sockaddr_in* sa, AddressLength* len) {
  return ::accept(listener, reinterpret_cast<sockaddr*>(sa), len);
}
// SO_REUSEADDR would let another program take the port over: not set.
inline void PrepareListener(Raw) {}

}  // namespace corvane::platform::native
