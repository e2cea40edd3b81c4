// The library's start, run at every export call: the card parameter
// record's text buffer is attached once and stays put (the card library may
// keep its address), and unload releases it.
#include <gtest/gtest.h>

#include <cstring>

#include "config/trade_cfg.h"
#include "trade/library_start.h"

namespace corvane {
namespace {

TEST(LibraryStart, AttachesOneZeroedTextBufferThatLaterCallsKeep) {
  Kvo_EndLibrary();
  ASSERT_EQ(IccEnv().TextBuffer, nullptr);
  Kvo_StartLibrary();
  char* buffer = IccEnv().TextBuffer;
  ASSERT_NE(buffer, nullptr);
  for (size_t i = 0; i < kIccTextBufferSize; ++i) ASSERT_EQ(buffer[i], 0) << i;
  std::memcpy(buffer, "kept", 5);
  Kvo_StartLibrary();
  EXPECT_EQ(IccEnv().TextBuffer, buffer);
  EXPECT_STREQ(IccEnv().TextBuffer, "kept");
  Kvo_EndLibrary();
  EXPECT_EQ(IccEnv().TextBuffer, nullptr);
}

}  // namespace
}  // namespace corvane
