// The network floor: the blocks a client exchanges with the front end,
// recorded once through a relay and replayed by the smallest client that
// can send them.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/socket.h"

namespace corvane::bench {

struct Exchange {
  bool from_client = true;
  std::string block;  // header and body, as on the wire
};
// One connection, from connect to close.
using Conversation = std::vector<Exchange>;

// Relays connections made to listen_address:port to target_address:port
// and records every block that passes, per connection.
class BlockRecorder {
 public:
  BlockRecorder(const std::string& listen_address, const std::string& target_address,
                uint16_t port);
  ~BlockRecorder();
  bool Listening() const { return listener_ != platform::kNoSocket; }
  // Stops relaying and gives the connections recorded so far.
  std::vector<Conversation> Finish();

 private:
  void AcceptLoop();
  void Relay(platform::SocketHandle client);

  std::string target_;
  uint16_t port_;
  platform::SocketHandle listener_ = platform::kNoSocket;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Conversation> conversations_;
  std::vector<std::thread> relays_;
  std::thread acceptor_;
};

// Replays the conversations against address:port: connect, send each
// client block, read each server block (by its size field), close.
// False when the server went away or a connection failed.
bool ReplayConversations(const std::vector<Conversation>& conversations,
                         const std::string& address, uint16_t port);

// The worker floor: the same replay, but each connection's socket is owned
// by a thread started for it (with the library's worker stack), as the
// library's connections are.  The caller hands each client block to the
// worker and sleeps on a condition variable until the worker has sent it,
// read the blocks that answer it and handed the reply back; the last block
// goes with the stop, and the worker closes the socket and is joined.
bool ReplayThroughWorker(const std::vector<Conversation>& conversations,
                         const std::string& address, uint16_t port);

// Reads one block (header and body); false at end of stream or failure.
bool ReadBlock(platform::SocketHandle s, std::string* block);
bool SendAll(platform::SocketHandle s, const std::string& bytes);

}  // namespace corvane::bench
