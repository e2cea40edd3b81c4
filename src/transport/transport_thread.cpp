#include "transport/transport_thread.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "transport/errors.h"

namespace corvane::transport {
namespace {

using Clock = std::chrono::steady_clock;

// Looks until ready() holds, yielding the processor between looks (the
// other side may need it), until deadline; true when it holds.
template <class Ready>
bool LookUntil(Ready ready, Clock::time_point deadline) {
  for (;;) {
    if (ready()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::yield();
  }
}

Clock::time_point LookDeadline(int us) { return Clock::now() + std::chrono::microseconds(us); }

}  // namespace

void OwnerQueue::Post(OwnerMessage message) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(message));
  }
  ready_.notify_all();
}

bool OwnerQueue::TakeLocked(std::initializer_list<OwnerMsg> accept, OwnerMessage* message) {
  for (auto it = queue_.begin(); it != queue_.end(); ++it) {
    for (OwnerMsg k : accept) {
      if (it->kind != k) continue;
      *message = std::move(*it);
      queue_.erase(it);
      return true;
    }
  }
  return false;
}

OwnerMessage OwnerQueue::Take(std::initializer_list<OwnerMsg> accept) {
  std::unique_lock<std::mutex> lock(mutex_);
  OwnerMessage m;
  while (!TakeLocked(accept, &m)) ready_.wait(lock);
  return m;
}

bool OwnerQueue::TakeUntil(std::initializer_list<OwnerMsg> accept, Clock::time_point deadline,
                           OwnerMessage* message) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!TakeLocked(accept, message)) {
    if (ready_.wait_until(lock, deadline) == std::cv_status::timeout)
      return TakeLocked(accept, message);
  }
  return true;
}

bool OwnerQueue::TryTake(OwnerMessage* message) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (queue_.empty()) return false;
  *message = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

void OwnerQueue::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.clear();
}

size_t OwnerQueue::ArrivedBlocks() {
  // The queue holds a few messages at most: the caller takes each notice
  // it waits for, and the worker stops reading while a block waits.
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<size_t>(std::count_if(queue_.begin(), queue_.end(), [](const OwnerMessage& m) {
    return m.kind == OwnerMsg::kBlockArrived;
  }));
}

namespace {
std::atomic<uint64_t> next_worker_id{1};
}

TTransportThread::TTransportThread(std::shared_ptr<OwnerQueue> owner,
                                   std::shared_ptr<TSocketTransport> transport)
    : owner_(std::move(owner)), transport_(std::move(transport)), id_(next_worker_id++) {}

TTransportThread::~TTransportThread() { thread_.Detach(); }

std::shared_ptr<TTransportThread> TTransportThread::Start(std::shared_ptr<OwnerQueue> owner,
                                                          std::shared_ptr<TSocketTransport> transport) {
  std::shared_ptr<TTransportThread> w(new TTransportThread(std::move(owner), std::move(transport)));
  std::shared_ptr<TTransportThread> self = w;
  std::string why;
  if (!w->thread_.Start([self]() mutable {
        self->Run();
        self.reset();
      }, kStackBytes, &why)) {
    throw ETransportError("Cannot start the connection's thread", why);
  }
  // The request queue exists before the thread runs: no need to wait for
  // it.  Opening the socket is the worker's first step, and its failure
  // reaches the caller in the first wait for a reply.
  return w;
}

void TTransportThread::PostSendBlock(DataBlockPtr block, bool wait, bool then_stop) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(Request{std::move(block), wait});
    if (then_stop) stop_ = true;
    has_work_.store(true, std::memory_order_release);
  }
  wake_.notify_one();
}

void TTransportThread::PostWake() { wake_.notify_one(); }

void TTransportThread::Terminate() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    has_work_.store(true, std::memory_order_release);
  }
  wake_.notify_one();
}

bool TTransportThread::WaitEnded(int timeout_ms) {
  const int worker = processor_.load(std::memory_order_relaxed);
  const bool elsewhere = worker >= 0 && worker != platform::Thread::CurrentProcessor();
  return thread_.JoinFor(timeout_ms, elsewhere ? kEndLookUs : 0);
}

void TTransportThread::Post(OwnerMsg kind, DataBlockPtr block) {
  OwnerMessage m;
  m.kind = kind;
  m.block = std::move(block);
  m.worker = id_;
  owner_->Post(std::move(m));
}

void TTransportThread::Fault() {
  OwnerMessage m;
  m.kind = OwnerMsg::kWorkerFault;
  m.fault = std::current_exception();
  m.worker = id_;
  owner_->Post(std::move(m));
}

bool TTransportThread::NextRequest(Request* request) {
  // Right after a reply the caller's next request is usually on its way.
  if (served_ && !awaiting_reply_)
    LookUntil([this] { return has_work_.load(std::memory_order_acquire); }, LookDeadline(kRequestLookUs));
  std::unique_lock<std::mutex> lock(mutex_);
  // Awaiting a reply the worker only glances at its requests, unless the
  // caller is behind and the socket is not to be read now.
  const int wait_ms = !awaiting_reply_ ? kIdleCheckMs : CallerBehind() ? kAwaitSliceMs : 0;
  wake_.wait_for(lock, std::chrono::milliseconds(wait_ms),
                 [&] { return stop_ || !requests_.empty(); });
  served_ = false;
  // Requests queued before the stop are still served (the last block of a
  // closing connection comes with its stop).
  if (requests_.empty()) return false;
  *request = std::move(requests_.front());
  requests_.pop_front();
  processor_.store(platform::Thread::CurrentProcessor(), std::memory_order_relaxed);
  has_work_.store(stop_ || !requests_.empty(), std::memory_order_relaxed);
  served_ = true;
  return true;
}

void TTransportThread::CheckSocket(long long timeout_us) {
  if (CallerBehind()) return;
  if (platform::WaitReadable(transport_->Handle(), timeout_us) == 0) return;
  DataBlockPtr block = transport_->FetchBlock(false, 0);
  if (!block) return;
  if (IsReply(block->GetSignatureWord())) awaiting_reply_ = false;
  Post(OwnerMsg::kBlockArrived, std::move(block));
}

void TTransportThread::Serve(Request& r) {
  int context = transport_->PutBlock(r.block);
  r.block.reset();
  if (!r.wait) {
    Post(OwnerMsg::kBlockSent, nullptr);
    return;
  }
  DataBlockPtr reply = transport_->FetchBlock(true, context);
  // A request of the peer comes before the reply: the caller answers it
  // and still waits.
  awaiting_reply_ = reply && !IsReply(reply->GetSignatureWord());
  Post(OwnerMsg::kBlockArrived, std::move(reply));
}

void TTransportThread::Close() {
  try {
    transport_->SetOpen(false);
  } catch (...) {
  }
}

void TTransportThread::Run() {
  bool opened = false;
  try {
    transport_->SetOpen(true);
    opened = true;
  } catch (...) {
    Fault();
  }
  while (opened && transport_->IsOpen()) {
    Request r;
    try {
      if (NextRequest(&r)) {
        Serve(r);
      } else {
        {
          std::lock_guard<std::mutex> lock(mutex_);
          if (stop_) break;
        }
        CheckSocket(awaiting_reply_ ? kAwaitSliceMs * 1000LL : 0);
      }
    } catch (...) {
      // A transport fault leaves the stream at an unknown position: the
      // connection is closed, whatever the kind of fault.
      Close();
      Fault();
    }
  }
  Close();
  transport_.reset();
  OwnerMessage end;
  end.kind = OwnerMsg::kWorkerEnded;
  end.notify = notify_end_;
  end.worker = id_;
  owner_->Post(std::move(end));
}

}  // namespace corvane::transport
