#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "common/last_error.h"
#include "config/trade_cfg.h"
#include "link/inner_pack.h"

namespace corvane {
namespace {

class InnerPack : public ::testing::Test {
 protected:
  void SetUp() override { SystemCfg().LocalIP = "10.1.2.3"; }
};

// The 38-character header: number (3), serial rounded half away from zero
// (14), request length in GBK bytes (6), local address right-aligned (15).
TEST_F(InnerPack, HeaderFieldsAtTheirPlaces) {
  const struct {
    int32_t trade_no;
    std::string request;
    double serial;
    std::string ip, packet;
  } cases[] = {
      {201, "a~bc", 12345, "10.1.2.3", "201" "00000000012345" "000004" "       10.1.2.3" "~a~bc"},
      {7, "", 0, "", "007" "00000000000000" "000000" + std::string(15, ' ') + "~"},
      {21, "医保", 2.5, "123456789012345", "021" "00000000000003" "000004" "123456789012345" "~医保"},
  };
  for (const auto& c : cases) {
    SystemCfg().LocalIP = c.ip;
    std::string packet;
    ASSERT_EQ(Kvo_BuildInnerPack(c.trade_no, c.request, &packet, c.serial), 0);
    EXPECT_EQ(packet, c.packet);
  }
}

// A value wider than its place would shift every later header field: each
// is refused with its own code, and no packet is made.
TEST_F(InnerPack, ValuesThatDoNotFitTheHeaderAreRefused) {
  struct Case {
    int32_t trade_no;
    size_t length;
    double serial;
    const char* ip;
    int32_t code;
  } cases[] = {
      {1000, 1, 1, "10.1.2.3", -7002},
      {-1, 1, 1, "10.1.2.3", -7002},
      {1, 1, 1e14, "10.1.2.3", -7005},
      {1, 1, 1e15, "10.1.2.3", -7005},
      {1, 1, -3, "10.1.2.3", -7005},
      {1, 1, -0.6, "10.1.2.3", -7005},
      {1, 1, std::numeric_limits<double>::quiet_NaN(), "10.1.2.3", -7005},
      {1, 1, INFINITY, "10.1.2.3", -7005},
      {1, 1000000, 1, "10.1.2.3", -7007},
      {1, 1, 1, "1234567890123456", -7008},
  };
  for (const Case& c : cases) {
    SystemCfg().LocalIP = c.ip;
    std::string packet = "untouched";
    EXPECT_EQ(Kvo_BuildInnerPack(c.trade_no, std::string(c.length, 'r'), &packet, c.serial), -1);
    EXPECT_EQ(LastErrorCode(), c.code) << c.trade_no << " " << c.serial << " " << c.ip;
    EXPECT_EQ(packet, "untouched");
    EXPECT_THROW(Kvo_BuildPackHead(c.trade_no, static_cast<int32_t>(c.length), c.serial),
                 std::invalid_argument);
  }
  EXPECT_EQ(LastErrorMessage(), "配置文件tradecfg.ini中的LocalIP超过15个字符，请检查本机IP地址设置！");
  SystemCfg().LocalIP = "10.1.2.3";
  std::string packet;
  EXPECT_EQ(Kvo_BuildInnerPack(999, std::string(999999, 'r'), &packet, 99999999999999.4), 0);
  EXPECT_EQ(packet.substr(0, 23), "999" "99999999999999" "999999");
  EXPECT_EQ(Kvo_BuildInnerPack(1, "", &packet, -0.4), 0);  // rounds to 0
  EXPECT_EQ(Kvo_BuildInnerPack(1, std::string(1000000, 'r'), &packet, 1), -1);
  EXPECT_EQ(LastErrorMessage(),
            "交易请求数据过长(1000000字节)，内部数据交易包最多容纳999999字节，请检查交易输入参数！");
}

}  // namespace
}  // namespace corvane
