// The worker thread that owns a connection's socket, and the queue through
// which it hands replies, faults and "sent" notices to the connection's
// thread (in place of window messages).  The caller hands over a whole
// request; the worker sends it and reads the whole reply before it hands
// anything back, so one block costs one hand-over each way, and the last
// block of a closing connection travels with the stop.  After a reply the
// worker looks for the caller's next request for a moment (kRequestLookUs,
// yielding the processor between looks) before it sleeps: that request
// usually follows within microseconds, and a thread that never slept needs
// no wake-up.  The caller sleeps while the peer works.  When the worker
// is told to stop it has a last block to write and then ends at once: the
// caller looks for that end for a moment (kEndLookUs) before it sleeps in
// the join, but only when the worker last ran on another processor; on
// the caller's own processor the look would only keep the worker (or
// whatever its last block woke) from running.  Nothing but the socket is
// opened for a connection.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <initializer_list>
#include <memory>
#include <mutex>

#include "platform/socket.h"
#include "platform/thread.h"
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
  using Clock = std::chrono::steady_clock;
  void Post(OwnerMessage message);
  OwnerMessage Take(std::initializer_list<OwnerMsg> accept);
  // As Take, but false once the deadline has passed with nothing taken.
  bool TakeUntil(std::initializer_list<OwnerMsg> accept, Clock::time_point deadline,
                 OwnerMessage* message);
  bool TryTake(OwnerMessage* message);
  void Clear();
  // Received blocks handed over and not taken yet.
  size_t ArrivedBlocks();

 private:
  bool TakeLocked(std::initializer_list<OwnerMsg> accept, OwnerMessage* message);

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<OwnerMessage> queue_;
};

class TTransportThread : public std::enable_shared_from_this<TTransportThread> {
 public:
  // Starts the worker; the socket is opened afterwards by the worker.
  static std::shared_ptr<TTransportThread> Start(std::shared_ptr<OwnerQueue> owner,
                                                 std::shared_ptr<TSocketTransport> transport);
  ~TTransportThread();
  // The worker's stack: its deepest path is a block read or write and the
  // construction of an exception.
  static constexpr size_t kStackBytes = 256 * 1024;
  // Between calls the worker looks at the socket this often, so that a
  // peer that closes or sends unasked ends or reaches the connection.
  static constexpr int kIdleCheckMs = 50;
  // While the caller still waits for a reply after a request of the peer,
  // the worker watches the socket in turns of this length and looks for
  // the caller's answers between them.
  static constexpr int kAwaitSliceMs = 1;
  // The worker reads no further block while this many blocks it handed
  // over wait for the caller: a peer that sends request after request is
  // read as fast as the caller answers, and memory stays at a few blocks.
  static constexpr size_t kMaxArrivedBlocks = 1;
  // How long the worker looks for the caller's next request after a reply
  // before sleeping, and the caller for the worker's end.
  static constexpr int kRequestLookUs = 50;
  static constexpr int kEndLookUs = 50;

  // Hands over one reference to block; wait asks for the reply; then_stop
  // ends the worker once the block is written.
  void PostSendBlock(DataBlockPtr block, bool wait, bool then_stop = false);
  void PostWake();
  void Terminate();
  void ClearEndNotification() { notify_end_ = false; }
  // Waits for the worker's thread to end; false after timeout_ms (or on
  // the worker itself).  On true the thread has been joined.
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
  // Takes the next request; false after the idle check found nothing to
  // do or the worker was told to stop.
  bool NextRequest(Request* request);
  void Serve(Request& request);
  // Reads a block that arrived without a request (or the peer's close),
  // unless the caller has not yet taken the blocks handed over.
  void CheckSocket(long long timeout_us);
  bool CallerBehind() const { return owner_->ArrivedBlocks() >= kMaxArrivedBlocks; }
  void Close();
  void Post(OwnerMsg kind, DataBlockPtr block);

  std::shared_ptr<OwnerQueue> owner_;
  std::shared_ptr<TSocketTransport> transport_;
  std::mutex mutex_;
  std::condition_variable wake_;  // a request or the stop
  std::deque<Request> requests_;
  bool stop_ = false;
  std::atomic<bool> has_work_{false};  // a request or the stop is queued
  bool served_ = false;                // the last turn served a request
  // The caller waits for a reply but the last block fetched was a request
  // of the peer.
  bool awaiting_reply_ = false;
  std::atomic<bool> notify_end_{true};
  std::atomic<int> processor_{-1};  // where the worker last took a request
  platform::Thread thread_;
  uint64_t id_;
};

}  // namespace corvane::transport
