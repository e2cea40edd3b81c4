// The socket transport: blocks over one TCP connection, blocking reads and
// writes, without time limits unless the owner sets them.
#pragma once

#include <chrono>
#include <mutex>
#include <string>

#include "platform/socket.h"
#include "transport/transport.h"

namespace corvane::transport {

class TSocketTransport : public ITransport {
 public:
  TSocketTransport();
  // Wraps an already connected socket (the answering side); the transport
  // owns and closes it.
  explicit TSocketTransport(platform::SocketHandle connected);
  ~TSocketTransport() override;
  TSocketTransport(const TSocketTransport&) = delete;
  TSocketTransport& operator=(const TSocketTransport&) = delete;

  std::string address;  // dotted IPv4 address; wins over host
  std::string host;     // host name
  int port = 211;
  // Time limits in milliseconds, < 0 for none: connecting, and reading one
  // block or writing one (from its first byte to its last; a failure
  // closes the connection like a broken one).
  int connect_timeout_ms = -1;
  int io_timeout_ms = -1;

  bool IsOpen() const override;
  void SetOpen(bool open) override;
  DataBlockPtr FetchBlock(bool wait_for_input, int context) override;
  int PutBlock(const DataBlockPtr& block) override;

  // The socket, for the worker that waits on it between calls.
  platform::SocketHandle Handle() const { return socket_; }
  // Wakes a thread blocked in this transport (ends the connection).
  void Abort();

 private:
  // Microseconds left to wait for the block under way (-1: no limit);
  // throws the time-limit error when none is left.
  long long Remaining(const std::chrono::steady_clock::time_point& start) const;
  void WaitFor(bool readable, const std::chrono::steady_clock::time_point& start);
  enum Direction { kSend, kReceive };
  // Sends or receives up to count bytes at p, stopping once at least
  // `least` have gone (least = count: exactly count); returns how many
  // went.  A receive of none is the peer's close.  The one home of the
  // socket's read and write loop.
  size_t Transfer(Direction direction, uint8_t* p, size_t count, size_t least,
                  const std::chrono::steady_clock::time_point& start);
  // Waits until a block begins to arrive; false when none is there and
  // the caller does not wait.
  bool AwaitInput(bool wait_for_input, const std::chrono::steady_clock::time_point& start);
  void Fail(int code, const char* api);

  std::mutex io_;
  platform::SocketHandle socket_ = platform::kNoSocket;
  bool started_ = false;
};

}  // namespace corvane::transport
