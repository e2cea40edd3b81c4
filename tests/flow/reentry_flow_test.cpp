// A call into the library from inside a call on the same thread (here the
// card library calling back while the library opens the card session):
// every export answers the busy reply at once and changes nothing, the
// transaction under way goes on, and a call from another thread waits
// until the transaction has returned.
#include "flow/flow_fixture.h"

#include <algorithm>

#include "support/temp_dir.h"

namespace corvane::flowtest {
namespace {

TEST_F(FlowTest, CallsFromInsideACallAreBusyAndOtherThreadsWait) {
  Answer(21, InitReply({ParamLine(28, 6, Flags("0100001"))}));
  Answer(28, "0~ok~0~f4~f5~f6~x");
  Answer(49, "0~");
  PutCard(Card('A'));
  corvane::testing::WriteFile(*dir_ / "iccsim.ini", corvane::testing::ReadFile(*dir_ / "iccsim.ini") +
                                                        "[Reenter]\r\nIC_OpenSession=1\r\n");
  auto r = Session({{"apply", "28", "1", "$$1~c~0~ex~p5~p6$$"}, {"apply", "28", "2", "$$1~c~0~ex~p5~p6$$"}});
  EXPECT_EQ("$$0~ok~0~f4~f5~x$$", r[0].text);
  EXPECT_EQ("$$0~ok~0~f4~f5~x$$", r[1].text);  // the session is still open

  std::vector<std::string> busy, order;
  for (const CardCall& c : CardCalls()) {
    order.push_back(c.function);
    if (c.function != "reenter") continue;
    EXPECT_EQ("-1", c.fields.at("result")) << c.fields.at("export");
    EXPECT_EQ(ErrorReply("动态库入口(" + c.fields.at("export") + ")", -7010), c.fields.at("reply"));
    busy.push_back(c.fields.at("export"));
  }
  const std::vector<std::string> exports = {"f_UserCorvaneInit", "f_UserCorvaneApply",
                                            "f_UserCorvaneClose", "f_SetUserTradeCfg"};
  EXPECT_EQ(exports.size() * 2, busy.size());  // both transactions
  // Nothing of the inner calls reached the front end: one session start,
  // then each transaction with the report of the one before.
  std::vector<int> sent;
  for (const Received& c : FrontCalls()) sent.push_back(c.trade_no);
  EXPECT_EQ((std::vector<int>{21, 28, 49, 28}), sent);
  // The other thread's call waited: it had not returned 200 ms into the
  // transaction, and returned 0 only after the transaction's last card call.
  int waited = 0, returned = 0;
  for (const CardCall& c : CardCalls()) {
    if (c.function == "other-thread-waiting") waited += c.fields.at("returned") == "0";
    if (c.function == "other-thread") returned += c.fields.at("result") == "0";
  }
  EXPECT_EQ(2, waited);
  EXPECT_LE(1, returned);  // the second one may still wait when the host ends
  const auto first_other = std::find(order.begin(), order.end(), "other-thread");
  const auto first_close = std::find(order.begin(), order.end(), "IC_CloseSession");
  EXPECT_LT(first_close - order.begin(), first_other - order.begin());
  EXPECT_EQ("28", Ini("TradeLog.ini", "000", "TradeTypeID"));
  EXPECT_EQ("2", Ini("TradeLog.ini", "000", "TradeId"));
}

}  // namespace
}  // namespace corvane::flowtest
