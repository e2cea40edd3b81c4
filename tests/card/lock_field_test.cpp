// The lock field of the card data.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "card/lock_field.h"

namespace corvane {
namespace {

TEST(LockData, OnlyTheFourteenCharactersFrom181Change) {
  std::string card(368, 'x');
  card.replace(180, 14, "00000000000000");
  std::string locked;
  ASSERT_TRUE(LockCardData(card, 42, &locked));
  ASSERT_EQ(locked.size(), card.size());
  EXPECT_EQ(locked.substr(0, 180), card.substr(0, 180));
  EXPECT_EQ(locked.substr(180, 14), "00000000000042");
  EXPECT_EQ(locked.substr(194), card.substr(194));

  std::string unlocked;
  ASSERT_TRUE(UnlockCardData(locked, &unlocked));
  EXPECT_EQ(unlocked, card);
}

TEST(LockData, ShortDataIsRefused) {
  std::string out = "keep";
  EXPECT_FALSE(LockCardData(std::string(367, '0'), 1, &out));
  EXPECT_FALSE(UnlockCardData(std::string(367, '0'), &out));
  EXPECT_EQ(out, "keep");
}

}  // namespace
}  // namespace corvane
