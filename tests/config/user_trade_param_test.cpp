#include <gtest/gtest.h>

#include "common/last_error.h"
#include "config/text_convert.h"
#include "config/trade_cfg.h"

namespace corvane {
namespace {

TEST(UserTradeParam, BeforeAnyLineAllFlagsAreEmpty) {
  for (int n = 1; n <= 14; ++n) EXPECT_EQ(UserTradeParam().Flag(n), "") << n;
}

TEST(UserTradeParam, ACompleteLineFillsTheRecord) {
  TUserTradeParam p;
  ASSERT_EQ(Kvo_GetUserTradeParam("31,5,1111111111111,7,e,f,g,h,ignored", &p), 0);
  EXPECT_EQ(p.TradeNo, 31);
  EXPECT_EQ(p.FieldCount, 5);
  EXPECT_EQ(p.Item4, 7);
  EXPECT_EQ(p.Item5, "e");
  EXPECT_EQ(p.Item6, "f");
  EXPECT_EQ(p.Item7, "g");
  EXPECT_EQ(p.Item8, "h");
  for (int n = 1; n <= 14; ++n) EXPECT_EQ(p.Flag(n), "1") << n;
}

TEST(UserTradeParam, FlagFourteenRepeatsFlagOne) {
  TUserTradeParam p;
  ASSERT_EQ(Kvo_GetUserTradeParam("31 5 \"0123456789ABCD\" 0 \"a,b\" f g h", &p), 0);
  EXPECT_EQ(p.Flag(1), "0");
  EXPECT_EQ(p.Flag(13), "C");
  EXPECT_EQ(p.Flag(14), "0");
  EXPECT_EQ(p.Item5, "a,b");
}

TEST(UserTradeParam, AShortFlagItemStoresTheRestButKeepsTheFlags) {
  TUserTradeParam p;
  ASSERT_EQ(Kvo_GetUserTradeParam("31,5,1111111111111,0,a,b,c,d", &p), 0);
  Kvo_SetLastError(0, "");
  EXPECT_EQ(Kvo_GetUserTradeParam("32,6,000000000000,9,e,f,g,h", &p), -1);
  EXPECT_EQ(LastErrorCode(), -7032);
  EXPECT_EQ(p.TradeNo, 32);
  EXPECT_EQ(p.FieldCount, 6);
  EXPECT_EQ(p.Item8, "h");
  for (int n = 1; n <= 14; ++n) EXPECT_EQ(p.Flag(n), "1") << n;
}

TEST(UserTradeParam, EmptyOrShortLinesFailAndTouchNothing) {
  TUserTradeParam p;
  p.TradeNo = 77;
  EXPECT_EQ(Kvo_GetUserTradeParam("  ", &p), -1);
  EXPECT_EQ(Kvo_GetUserTradeParam("1,2,3,4,5,6,7", &p), -1);
  EXPECT_EQ(p.TradeNo, 77);
  // A trailing comma adds the eighth, empty item.
  EXPECT_EQ(Kvo_GetUserTradeParam("1,2,1111111111111,4,5,6,7,", &p), 0);
  EXPECT_EQ(p.Item8, "");
}

TEST(UserTradeParam, ANonNumericItemRaisesAConversionFailure) {
  TUserTradeParam p;
  EXPECT_THROW(Kvo_GetUserTradeParam("x,2,1111111111111,4,5,6,7,8", &p), TextConvertError);
  EXPECT_THROW(Kvo_GetUserTradeParam("1,2,1111111111111,four,5,6,7,8", &p), TextConvertError);
  EXPECT_EQ(Kvo_GetUserTradeParam("$1F,0x2,1111111111111,4,5,6,7,8", &p), 0);
  EXPECT_EQ(p.TradeNo, 31);
}

}  // namespace
}  // namespace corvane
