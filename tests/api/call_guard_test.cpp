// The process-wide guard of the exports: other threads wait their turn, a
// call re-entering on the thread inside is told so at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "api/call_guard.h"

namespace corvane {
namespace {

TEST(CallGuard, ReentryOnTheSameThreadIsReportedAtOnceAndReleasesNothing) {
  std::optional<CallGuard> outer(std::in_place);
  ASSERT_FALSE(outer->Reentered());
  {
    CallGuard inner;
    EXPECT_TRUE(inner.Reentered());
  }
  // The outer call is still inside: another thread must wait.
  std::atomic<bool> entered{false};
  std::thread other([&] {
    CallGuard g;
    entered = !g.Reentered();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(entered);
  outer.reset();
  other.join();
  EXPECT_TRUE(entered);
}

TEST(CallGuard, ThreadsTakeTurns) {
  std::atomic<int> inside{0};
  std::atomic<int> most{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        CallGuard g;
        const int now = ++inside;
        if (now > most) most = now;
        --inside;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(1, most);
}

}  // namespace
}  // namespace corvane
