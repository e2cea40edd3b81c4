#include "transport/transport_thread.h"

#include <chrono>

#include "transport/errors.h"

namespace corvane::transport {

void OwnerQueue::Post(OwnerMessage message) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(message));
  }
  ready_.notify_all();
}

OwnerMessage OwnerQueue::Take(std::initializer_list<OwnerMsg> accept) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
      for (OwnerMsg k : accept) {
        if (it->kind == k) {
          OwnerMessage m = std::move(*it);
          queue_.erase(it);
          return m;
        }
      }
    }
    ready_.wait(lock);
  }
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

namespace {
std::atomic<uint64_t> next_worker_id{1};
}

TTransportThread::TTransportThread(std::shared_ptr<OwnerQueue> owner,
                                   std::shared_ptr<TSocketTransport> transport)
    : owner_(std::move(owner)), transport_(std::move(transport)), id_(next_worker_id++) {}

TTransportThread::~TTransportThread() {
  if (thread_.joinable()) thread_.detach();
}

std::shared_ptr<TTransportThread> TTransportThread::Start(std::shared_ptr<OwnerQueue> owner,
                                                          std::shared_ptr<TSocketTransport> transport) {
  std::shared_ptr<TTransportThread> w(new TTransportThread(std::move(owner), std::move(transport)));
  std::shared_ptr<TTransportThread> self = w;
  w->thread_ = std::thread([self]() mutable {
    self->Run();
    self.reset();
  });
  std::unique_lock<std::mutex> lock(w->mutex_);
  w->changed_.wait(lock, [&] { return w->started_; });
  return w;
}

void TTransportThread::PostSendBlock(DataBlockPtr block, bool wait) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(Request{std::move(block), wait});
  }
  signal_.Wake();
}

void TTransportThread::PostWake() { signal_.Wake(); }

void TTransportThread::Terminate() { stop_ = true; }

bool TTransportThread::WaitEnded(int timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return ended_; }))
    return false;
  lock.unlock();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
  return true;
}

void TTransportThread::Fault() {
  OwnerMessage m;
  m.kind = OwnerMsg::kWorkerFault;
  m.fault = std::current_exception();
  m.worker = id_;
  owner_->Post(std::move(m));
}

void TTransportThread::Run() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    started_ = true;
  }
  changed_.notify_all();
  bool opened = false;
  try {
    transport_->SetOpen(true);
    signal_.Attach(transport_->Handle());
    opened = true;
  } catch (...) {
    Fault();
  }
  while (opened && !stop_ && transport_->IsOpen()) {
    int bits = signal_.Wait();
    try {
      if (bits & platform::SocketSignal::kReadable) {
        signal_.ResetReadable();
        DataBlockPtr block = transport_->FetchBlock(false, 0);
        if (block) {
          OwnerMessage m;
          m.kind = OwnerMsg::kBlockArrived;
          m.block = std::move(block);
          m.worker = id_;
          owner_->Post(std::move(m));
        }
      }
      for (;;) {
        Request r;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          if (requests_.empty()) break;
          r = std::move(requests_.front());
          requests_.pop_front();
        }
        int context = transport_->PutBlock(r.block);
        r.block.reset();
        OwnerMessage m;
        m.worker = id_;
        if (r.wait) {
          m.kind = OwnerMsg::kBlockArrived;
          m.block = transport_->FetchBlock(true, context);
        } else {
          m.kind = OwnerMsg::kBlockSent;
        }
        owner_->Post(std::move(m));
      }
    } catch (...) {
      // A transport fault leaves the stream at an unknown position: the
      // connection is closed, whatever the kind of fault.
      signal_.Detach();
      try {
        transport_->SetOpen(false);
      } catch (...) {
      }
      Fault();
    }
  }
  signal_.Detach();
  try {
    transport_->SetOpen(false);
  } catch (...) {
  }
  transport_.reset();
  OwnerMessage end;
  end.kind = OwnerMsg::kWorkerEnded;
  end.notify = notify_end_;
  end.worker = id_;
  owner_->Post(std::move(end));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
  }
  changed_.notify_all();
}

}  // namespace corvane::transport
