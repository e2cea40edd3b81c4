// What one transaction leaves for the next: the flags of the last complete
// parameter line, the card state, and the replies of earlier calls.
#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

const std::string kApplyTag = "交易申请实现函数(f_UCApply)";
const std::string kLocked = "00000000012345";

std::string LockField(const CardCall& write) {
  auto it = write.fields.find("data");
  return it == write.fields.end() || it->second.size() < 194 ? "" : it->second.substr(180, 14);
}

std::vector<Received> CallsOf(const std::vector<Received>& all, int trade_no) {
  std::vector<Received> some;
  for (const Received& c : all)
    if (c.trade_no == trade_no) some.push_back(c);
  return some;
}

class CarriedStateFlow : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    // 33: card read and lock;  31: no card step.  40 has no line.
    Answer(21, InitReply({ParamLine(33, 6, Flags("0101001")), ParamLine(31, 6, Flags("0000001"))}));
    Answer(49, "0~noted");
    PutCard(Card('A'));
  }
  // Loopback addresses 127.0.0.100 to .119, round robin.
  std::string NextAddress() override {
    static int next = 0;
    return "127.0.0." + std::to_string(100 + next++ % 20);
  }
};

TEST_F(CarriedStateFlow, TransactionWithoutALineRunsWithTheFlagsOfTheLastCompleteLine) {
  Answer(33, "0~ok~0~f4~f5~f6");
  Answer(40, "0~ok~0~f4~f5~f6");
  // Five fields only: without a line there is no count check.
  auto r = Session({{"apply", "33", "12345", "$$1~c~0~ex~p5~p6$$"},
                    {"apply", "40", "12345", "$$1~c~0~ex~p5$$"}});
  EXPECT_EQ(0, r[0].status) << r[0].text;
  EXPECT_EQ(0, r[1].status) << r[1].text;
  auto sent = CallsOf(FrontCalls(), 40);
  ASSERT_EQ(1u, sent.size());
  // 33's flags still hold: the card was read for 40 ...
  EXPECT_EQ("1~" + Card('A') + "~0~ex~p5~", sent[0].request);
  // ... and locked with 40's serial before its call, then unlocked.
  auto writes = CardWrites();
  ASSERT_EQ(4u, writes.size());
  EXPECT_EQ(kLocked, LockField(writes[2]));
  EXPECT_EQ(Card('A'), CardOnFile());
}

TEST_F(CarriedStateFlow, FailedCallAfterAReportCarriesOnlyItsOwnReply) {
  Answer(31, std::vector<std::string>{"0~ok~0~f4~f5~f6", "", "-1~own reply"});
  auto r = Session({{"apply", "31", "1", "$$0~c~0~ex~p5~p6$$"},
                    {"apply", "31", "2", "$$0~c~0~ex~p5~p6$$"},
                    {"apply", "31", "3", "$$0~c~0~ex~p5~p6$$"}});
  EXPECT_EQ(0, r[0].status);
  // The report before it was answered "0~noted"; the call itself gave no
  // reply text: the standard body with -7204.
  EXPECT_EQ(-1, r[1].status);
  EXPECT_EQ(ErrorReply(kApplyTag + ":011", -7204), r[1].text);
  EXPECT_EQ(-1, r[2].status);
  EXPECT_EQ("$$-1~own reply$$", r[2].text);
  EXPECT_EQ(2u, CallsOf(FrontCalls(), 49).size());
  EXPECT_EQ("2", Ini("TradeLog.ini", "000", "Ybzt"));
  EXPECT_EQ("3", Ini("TradeLog.ini", "000", "TradeId"));
}

TEST_F(CarriedStateFlow, DownloadTransactionLeavesTheCardOfAnEarlierTransactionAlone) {
  Answer(33, "0~ok~0~f4~f5~f6");
  Answer(250, std::vector<std::string>{"-1~refused", "1~later"});
  auto r = Session({{"apply", "33", "12345", "$$1~c~0~ex~p5~p6$$"},
                    {"apply", "250", "1", "$$a$$"},
                    {"apply", "250", "2", "$$a$$"}});
  EXPECT_EQ(0, r[0].status) << r[0].text;
  EXPECT_EQ("$$-1~refused$$", r[1].text);
  EXPECT_EQ(0, r[2].status);
  EXPECT_EQ("$$1~later~~~~$$", r[2].text);
  // Only 33's lock and unlock: a failed or refused 250 unlocks nothing.
  EXPECT_EQ(2u, CardWrites().size());
}

}  // namespace
}  // namespace corvane::flowtest
