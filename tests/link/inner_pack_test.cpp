#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/last_error.h"
#include "config/trade_cfg.h"
#include "link/inner_pack.h"

namespace corvane {
namespace {

class InnerPack : public ::testing::Test {
 protected:
  void SetUp() override { SystemCfg().LocalIP = "10.1.2.3"; }
};

TEST_F(InnerPack, OrdinaryHeaderIs38Characters) {
  std::string packet;
  ASSERT_EQ(Kvo_BuildInnerPack(201, "a~bc", &packet, 12345), 0);
  EXPECT_EQ(packet, "201" "00000000012345" "000004" "       10.1.2.3" "~a~bc");
  EXPECT_EQ(packet.find('~'), 38u);
}

TEST_F(InnerPack, NumberAndSerialPadding) {
  EXPECT_EQ(Kvo_BuildPackHead(21, 0, 0).substr(0, 17), "021" "00000000000000");
  EXPECT_EQ(Kvo_BuildPackHead(1000, 0, 0).substr(0, 4), "1000");
  EXPECT_EQ(Kvo_BuildPackHead(123456, 0, 0).size(), 41u);
  EXPECT_EQ(Kvo_BuildPackHead(7, 0, 0).substr(0, 3), "007");
}

TEST_F(InnerPack, SerialRoundsHalvesAwayFromZero) {
  EXPECT_EQ(Kvo_BuildPackHead(1, 0, 12.5).substr(3, 14), "00000000000013");
  EXPECT_EQ(Kvo_BuildPackHead(1, 0, 12.4).substr(3, 14), "00000000000012");
  EXPECT_EQ(Kvo_BuildPackHead(1, 0, 2.5).substr(3, 14), "00000000000003");
  EXPECT_EQ(Kvo_BuildPackHead(1, 0, 99999999999999.0).substr(3, 14), "99999999999999");
  EXPECT_EQ(Kvo_BuildPackHead(1, 0, 123456789012345.0).substr(3, 15), "123456789012345");
}

TEST_F(InnerPack, LengthCountsGbkBytes) {
  std::string packet;
  ASSERT_EQ(Kvo_BuildInnerPack(201, "", &packet, 1), 0);
  EXPECT_EQ(packet.substr(17, 6), "000000");
  EXPECT_EQ(packet.back(), '~');
  ASSERT_EQ(Kvo_BuildInnerPack(201, "医保", &packet, 1), 0);  // two characters, 4 bytes
  EXPECT_EQ(packet.substr(17, 6), "000004");
}

TEST_F(InnerPack, LocalAddressRightAlignedNeverCut) {
  EXPECT_EQ(BuildPackHeadFor(1, 0, 0, "").substr(23), std::string(15, ' '));
  EXPECT_EQ(BuildPackHeadFor(1, 0, 0, "abcdefghijklmnop").substr(23), "abcdefghijklmnop");
  EXPECT_EQ(BuildPackHeadFor(1, 0, 0, "123456789012345").substr(23), "123456789012345");
}

TEST_F(InnerPack, SerialThatIsNoNumberFailsWith7002) {
  std::string packet = "untouched";
  EXPECT_EQ(Kvo_BuildInnerPack(201, "x", &packet, std::numeric_limits<double>::quiet_NaN()), -1);
  EXPECT_EQ(LastErrorCode(), -7002);
  EXPECT_EQ(LastErrorMessage(), "组建内部数据交易包发生错误,请检查交易类型和交易号是否合法！");
  EXPECT_EQ(packet, "untouched");
  EXPECT_EQ(Kvo_BuildInnerPack(201, "x", &packet, INFINITY), -1);
}

}  // namespace
}  // namespace corvane
