// The worker thread that owns a connection's socket, and the queue through
// which it hands replies, faults and "sent" notices to the connection's
// thread (in place of window messages).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/socket.h"
#include "transport/data_block.h"
#include "transport/socket_transport.h"

namespace corvane::transport {

enum class OwnerMsg { kBlockArrived, kWorkerFault, kBlockSent, kWorkerEnded };

struct OwnerMessage {
  OwnerMsg kind = OwnerMsg::kBlockSent;
  DataBlockPtr block;          // kBlockArrived: the one reference handed over
  std::exception_ptr fault;    // kWorkerFault
  bool notify = false;         // kWorkerEnded: the end notification was still set
  uint64_t worker = 0;         // which worker posted it
};

// The connection's side of the hand-over: messages in posting order; a
// waiter takes the first one of the kinds it accepts and leaves the rest.
class OwnerQueue {
 public:
  void Post(OwnerMessage message);
  OwnerMessage Take(std::initializer_list<OwnerMsg> accept);
  bool TryTake(OwnerMessage* message);
  void Clear();

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<OwnerMessage> queue_;
};

class TTransportThread : public std::enable_shared_from_this<TTransportThread> {
 public:
  // Starts the worker and returns once its message queue exists; the
  // socket is opened afterwards by the worker.
  static std::shared_ptr<TTransportThread> Start(std::shared_ptr<OwnerQueue> owner,
                                                 std::shared_ptr<TSocketTransport> transport);
  ~TTransportThread();

  // Hands over one reference to block; wait asks for the reply.
  void PostSendBlock(DataBlockPtr block, bool wait);
  void PostWake();
  void Terminate();
  void ClearEndNotification() { notify_end_ = false; }
  // Waits for the worker to end; false after timeout_ms.  On true the
  // thread has been joined.
  bool WaitEnded(int timeout_ms);
  uint64_t Id() const { return id_; }

 private:
  struct Request {
    DataBlockPtr block;
    bool wait = false;
  };
  TTransportThread(std::shared_ptr<OwnerQueue> owner, std::shared_ptr<TSocketTransport> transport);
  void Run();
  void Fault();

  std::shared_ptr<OwnerQueue> owner_;
  std::shared_ptr<TSocketTransport> transport_;
  platform::SocketSignal signal_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Request> requests_;
  bool started_ = false;
  bool ended_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<bool> notify_end_{true};
  std::thread thread_;
  uint64_t id_;
};

}  // namespace corvane::transport
