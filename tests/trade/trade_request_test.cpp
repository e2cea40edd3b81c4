// Parsers of the request and reply heads, the serial digits, and the
// storing of transaction definitions.
#include <gtest/gtest.h>

#include <string>

#include "config/trade_cfg.h"
#include "trade/session_init.h"
#include "support/temp_dir.h"
#include "trade/trade_records.h"
#include "trade/trade_request.h"

namespace corvane {
namespace {

// Both heads are read field by field: a missing field fails the read and
// keeps the fields read before it.
TEST(HisInHead, TakesTheFourHeadFieldsOrStopsAtTheFirstMissing) {
  THisInHeadParam head;
  ASSERT_EQ(0, Kvo_GetHisInHead("1~CARD~3~x~rest~more", &head));
  EXPECT_EQ("1|CARD|3|x", head.CardUse + "|" + head.CardData + "|" + head.CardKind + "|" + head.Extra);
  head = THisInHeadParam{"a", "b", "c", "d"};
  EXPECT_EQ(-1, Kvo_GetHisInHead("1~CARD", &head));
  EXPECT_EQ("1|CARD|c|d", head.CardUse + "|" + head.CardData + "|" + head.CardKind + "|" + head.Extra);
}

TEST(SvrBackHead, SplitsHeadAndRestAndNeedsSixFields) {
  TSvrBackHeadParam head;
  ASSERT_EQ(0, Kvo_GetSvrBackHead("0~ok~1~f4~DATA%%20~f6~x~y", &head));
  EXPECT_EQ("1|f4|DATA%%20|f6|x~y",
            head.WriteCard + "|" + head.Field4 + "|" + head.CardData + "|" + head.Field6 + "|" + head.Rest);
  ASSERT_EQ(0, Kvo_GetSvrBackHead("0~ok~0~f4~f5~f6", &head));
  EXPECT_EQ("error return", head.Rest);
  ASSERT_EQ(0, Kvo_GetSvrBackHead("0~ok~0~f4~f5~f6~", &head));
  EXPECT_EQ("", head.Rest);
  EXPECT_EQ(-1, Kvo_GetSvrBackHead("0~ok~0~f4~f5", &head));
}

TEST(VersionList, CarriesTheAreaUnchanged) {
  EXPECT_EQ("1050,02.21.0101.04.1050%%1060,1.1.0.01.1", VersionList("0101"));
  EXPECT_EQ("1050,02.21..04.1050%%1060,1.1.0.01.1", VersionList(""));
}

TEST(CommaText, FirstItem) {
  EXPECT_EQ("21", FirstCommaItem("21,5,1111111111111,0,a,b,c,d"));
  EXPECT_EQ("22", FirstCommaItem("  22 5 1111111111111"));
  EXPECT_EQ("2,\"3", FirstCommaItem("\"2,\"\"3\",x"));
  EXPECT_EQ("", FirstCommaItem(",x"));
}

TEST(TradeFunList, WritesOneUserTradeLinePerEntry) {
  corvane::testing::TempDir dir;
  EXPECT_EQ(1, Kvo_SaveTradeFunList(kTradeCfgFile, "21,5,1111111111111,0,a,b,c,d", dir.path()));
  EXPECT_EQ(1, Kvo_SaveTradeFunList(kTradeCfgFile, "22,6,0000000000000,0,a,b,c,d", dir.path()));
  EXPECT_EQ(1, Kvo_SaveTradeFunList(kTradeCfgFile, "21,7,1111111111111,0,a,b,c,d", dir.path()));
  EXPECT_EQ(0, Kvo_SaveTradeFunList(kTradeCfgFile, "   ", dir.path()));
  EXPECT_EQ(0, Kvo_SaveTradeFunList(kTradeCfgFile, ",no,number", dir.path()));
  std::string v;
  ASSERT_EQ(0, Kvo_ReadIniFSection(kTradeCfgFile, "USERTRADE", "21", &v, dir.path()));
  EXPECT_EQ("21,7,1111111111111,0,a,b,c,d", v);
  ASSERT_EQ(0, Kvo_ReadIniFSection(kTradeCfgFile, "USERTRADE", "22", &v, dir.path()));
  EXPECT_EQ("22,6,0000000000000,0,a,b,c,d", v);
}

}  // namespace
}  // namespace corvane
