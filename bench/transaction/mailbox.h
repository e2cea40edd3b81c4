// One direction of a hand-over between two threads: the taker sleeps on a
// condition variable until the other side has put something there.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "block_replay.h"

namespace corvane::bench {

class Mailbox {
 public:
  struct Item {
    const Exchange* request = nullptr;  // to the worker: the client block
    size_t replies = 0;                 // the server blocks that answer it
    bool last = false;                  // the last block: then stop
    bool ok = true;                     // to the caller: the exchange worked
  };
  void Put(const Item& item) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      item_ = item;
      full_ = true;
    }
    ready_.notify_one();
  }
  Item Take() {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this] { return full_; });
    full_ = false;
    return item_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  Item item_;
  bool full_ = false;
};

}  // namespace corvane::bench
