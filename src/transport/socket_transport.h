// The socket transport: blocks over one TCP connection, blocking reads and
// writes without time limits.
#pragma once

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

  bool IsOpen() const override;
  void SetOpen(bool open) override;
  DataBlockPtr FetchBlock(bool wait_for_input, int context) override;
  int PutBlock(const DataBlockPtr& block) override;

  // The socket, for the worker that waits on it between calls.
  platform::SocketHandle Handle() const { return socket_; }
  // Wakes a thread blocked in this transport (ends the connection).
  void Abort();

 private:
  void ReadExactly(void* target, size_t count, bool header);
  void Fail(int code, const char* api);

  std::mutex io_;
  platform::SocketHandle socket_ = platform::kNoSocket;
  bool started_ = false;
};

}  // namespace corvane::transport
