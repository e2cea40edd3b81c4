// A thread that the system cannot make says why; one that it makes runs.
#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <string>

#include "platform/thread.h"

namespace corvane::platform {
namespace {

TEST(Thread, AStackThatCannotBeReservedFailsTheStartWithTheSystemsWords) {
  std::atomic<bool> ran{false};
  Thread thread;
  std::string why;
  EXPECT_FALSE(thread.Start([&ran] { ran = true; }, std::numeric_limits<size_t>::max() / 2, &why));
  EXPECT_FALSE(why.empty());
  ASSERT_TRUE(thread.Start([&ran] { ran = true; }, 64 * 1024, &why)) << why;
  thread.Join();
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace corvane::platform
