#include "api/call_guard.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace corvane {
namespace {

std::mutex g_calls;
// The thread inside, or no thread.  Only the thread inside writes its own
// id, so a thread that reads its own id is inside.
std::atomic<std::thread::id> g_inside{std::thread::id()};

}  // namespace

CallGuard::CallGuard() {
  if (g_inside.load() == std::this_thread::get_id()) {
    reentered_ = true;
    return;
  }
  g_calls.lock();
  g_inside.store(std::this_thread::get_id());
}

CallGuard::~CallGuard() {
  if (reentered_) return;
  g_inside.store(std::thread::id());
  g_calls.unlock();
}

}  // namespace corvane
