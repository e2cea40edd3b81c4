// Servers for transport tests, on loopback addresses of their own.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/socket.h"
#include "transport/interpreter.h"
#include "transport/server_session.h"
#include "transport/variant.h"
#include "wire_bytes.h"

namespace corvane::transport::testing {

// A peer that speaks raw bytes: accepts one connection at a time.
class RawPeer {
 public:
  RawPeer(const std::string& address, uint16_t port);
  ~RawPeer();
  bool Listening() const { return listener_ != platform::kNoSocket; }
  bool Accept();
  // Reads exactly n bytes (empty on a closed connection).
  Bytes Read(size_t n);
  // Reads one whole block (header and body).
  Bytes ReadBlock();
  void Send(const Bytes& bytes);
  void CloseClient();

 private:
  platform::SocketHandle listener_ = platform::kNoSocket;
  platform::SocketHandle client_ = platform::kNoSocket;
};

// Answers like a front end: creates the object named `server_name` (any
// name when it is empty), whose "Transmit" runs `transmit` and whose "Fail"
// raises.  Without `transmit`, "Transmit"(number, packet, address) answers
// "0~" + packet, writes "back" into the address and adds one to the number.
// Counts connections, calls and the blocks it receives by action.
class AppServerPeer {
 public:
  // args in argument-array order: args[2] number, args[1] packet, args[0]
  // local address.  Returns a dispatch result code.
  using Transmit = std::function<int32_t(std::vector<Variant>& args, Variant* result, ExcepInfo* excep)>;
  AppServerPeer(const std::string& address, uint16_t port, std::string server_name,
                Transmit transmit = nullptr);
  ~AppServerPeer();
  bool Listening() const { return listener_ != platform::kNoSocket; }
  int Received(uint32_t signature) const;
  int ReceivedTotal() const;
  // Waits until `count` blocks of that signature arrived (or timeout).
  bool WaitReceived(uint32_t signature, int count, int timeout_ms) const;
  int connections() const { return connections_; }
  int calls() const { return calls_; }
  // Text that create-object answers with an error reply (empty: none).
  std::string create_error;

 private:
  void AcceptLoop();
  platform::SocketHandle listener_ = platform::kNoSocket;
  std::string server_name_;
  Transmit transmit_;
  std::atomic<int> connections_{0};
  std::atomic<int> calls_{0};
  std::thread acceptor_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<uint32_t> received_;
  std::vector<std::shared_ptr<TServerSession>> sessions_;
  std::vector<std::thread> threads_;
};

}  // namespace corvane::transport::testing
