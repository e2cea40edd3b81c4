// What a host meets at its edges: a reply larger than the buffer it
// stated, and calls from several threads at once.  Part of the Linux flows
// and run once per Windows build (host_limits_flow_test_win64, _win32: the
// i686 product's 2 GB address space).
#include "flow/flow_fixture.h"

#include <atomic>

#include "common/error_codes.h"
#include "common/error_reply.h"

namespace corvane::flowtest {
namespace {

class HostLimits : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    Answer(21, InitReply({ParamLine(31, 6, Flags("0000001"))}));
    Answer(49, "0~");
  }
  // The wine runs: WineAddress(120) to (122), beside the other wine flows.
  std::string NextAddress() override {
    static std::atomic<int> next{0};
    if (corvane::testing::WindowsBuildDir().empty()) return FlowTest::NextAddress();
    return corvane::testing::WineAddress(120 + next++ % 3);
  }
};

// A 100 KB reply against a stated 64 KB buffer: a short -7009 reply naming
// both sizes and the file that keeps the whole reply; the next call works.
TEST_F(HostLimits, ReplyLargerThanTheStatedBufferIsKeptWholeAndReplacedByAShortError) {
  const std::string big = "0~ok~0~f4~f5~f6~" + std::string(100000, 'R');
  Answer(31, std::vector<std::string>{big, "0~ok~0~f4~f5~f6~small"});
  SetIni("TradeCfg.ini", "SYSTEM", "ReplyBufferSize", "65536");
  StartFrontEnd();
  auto r = HostWith({"--buffer", "65536"},
                    {{"init"}, {"apply", "31", "1", kRequest}, {"apply", "31", "2", kRequest}});
  ASSERT_EQ(3u, r.size()) << last_host_output_;
  // The reply of 100 018 bytes (with its zero byte) names the file by its
  // full path, which ends in log1/CorvaneReply....txt.
  const std::string kept = KeptReplyFile(r[1].text);
  ASSERT_NE("", kept) << r[1].text;
  const size_t at = r[1].text.find("保存在") + std::string("保存在").size();
  const std::string where = r[1].text.substr(at, r[1].text.find(kept) + kept.size() - at);
  EXPECT_EQ(Failed("$$" + ErrorBody("动态库入口(f_UserCorvaneApply)", kErrReplyTooLarge,
                                    ReplyTooLargeMessage(100018, 65536, where)) + "$$"),
            r[1]);
  EXPECT_EQ("$$0~ok~0~f4~f5~" + std::string(100000, 'R') + "$$",
            corvane::testing::ReadFile(*dir_ / kept));
  EXPECT_NE(std::string::npos, DiagnosticsLog().find(kept));
  EXPECT_EQ("$$0~ok~0~f4~f5~small$$", r[2].text);
}

TEST_F(HostLimits, WithoutTheSettingTheWholeReplyIsWritten) {
  Answer(31, "0~ok~0~f4~f5~f6~" + std::string(100000, 'R'));
  auto r = Apply(31, "1", kRequest);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(100017u, r.text.size());
}

// Eight threads of one host each open a session and run a transaction:
// the calls take turns, and every one of them succeeds.
TEST_F(HostLimits, CallsFromEightThreadsTakeTurns) {
  Answer(31, "0~ok~0~f4~f5~f6~x");
  StartFrontEnd();
  auto r = HostWith({"--threads", "8"}, {{"init"}, {"apply", "31", "1", kRequest}});
  ASSERT_EQ(16u, r.size()) << last_host_output_;
  int applied = 0;
  for (const Reply& one : r) {
    EXPECT_EQ(0, one.status) << one.text;
    if (one.text == "$$0~ok~0~f4~f5~x$$") ++applied;
  }
  EXPECT_EQ(8, applied);
  EXPECT_EQ(8u, CallsOf(31).size());
}

}  // namespace
}  // namespace corvane::flowtest
