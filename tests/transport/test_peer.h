// Servers for transport tests, on loopback addresses of their own.
#pragma once

#include <atomic>
#include <cstdint>
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

// Answers like a front end: creates the object named `server_name` and
// answers "Transmit".  Counts the blocks it receives by action.
class AppServerPeer {
 public:
  AppServerPeer(const std::string& address, uint16_t port, std::string server_name);
  ~AppServerPeer();
  bool Listening() const { return listener_ != platform::kNoSocket; }
  int Received(uint32_t signature) const;
  int ReceivedTotal() const;
  // Waits until `count` blocks of that signature arrived (or timeout).
  bool WaitReceived(uint32_t signature, int count, int timeout_ms) const;
  // Text that create-object answers with an error reply (empty: none).
  std::string create_error;

 private:
  void AcceptLoop();
  platform::SocketHandle listener_ = platform::kNoSocket;
  std::string server_name_;
  std::thread acceptor_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<uint32_t> received_;
  std::vector<std::shared_ptr<TServerSession>> sessions_;
  std::vector<std::thread> threads_;
};

}  // namespace corvane::transport::testing
