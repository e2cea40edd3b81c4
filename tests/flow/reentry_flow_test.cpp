// A call into the library from inside a call on the same thread (here the
// card library calling back while the library opens the card session):
// every export answers the busy reply at once and changes nothing, the
// transaction under way goes on, and a call from another thread waits
// until the transaction has returned.
#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

TEST_F(FlowTest, CallsFromInsideACallAreBusyAndOtherThreadsWait) {
  Answer(21, InitReply({ParamLine(28, 6, Flags("0100001"))}));
  Answer(28, "0~ok~0~f4~f5~f6~x");
  Answer(49, "0~");
  PutCard(Card('A'));
  corvane::testing::WriteFile(*dir_ / "iccsim.ini", corvane::testing::ReadFile(*dir_ / "iccsim.ini") +
                                                        "[Reenter]\r\nIC_OpenSession=1\r\n");
  auto r = Session({{"apply", "28", "1", kCardRequest}, {"apply", "28", "2", kCardRequest}});
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5~x$$"), r[0]);
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5~x$$"), r[1]);  // the session is still open
  // Nothing of the inner calls reached the front end.
  EXPECT_EQ((std::vector<std::string>{"28:1~" + Card('A') + "~0~ex~p5~p6~", "49:~~~~28~1~~~1~~~",
                                      "28:1~" + Card('A') + "~0~ex~p5~p6~"}),
            Sent());
  // Each transaction: the four exports answered busy.  The other thread's
  // call had not returned 200 ms into the transaction; when it returned
  // before the host ended (the host's next call may take its turn), it
  // returned 0 after the transaction's last card call.  That a waiting
  // thread gets its turn at last: tests/api/call_guard_test.cpp.
  std::string busy;
  int waited = 0;
  bool closed = false;
  for (const CardCall& c : CardCalls()) {
    const auto& f = c.fields;
    closed = closed || c.function == "IC_CloseSession";
    if (c.function == "other-thread-waiting") waited += f.at("returned") == "0";
    if (c.function == "other-thread") {
      EXPECT_EQ("closed 0", (closed ? "closed " : "open ") + f.at("result"));
    }
    if (c.function != "reenter") continue;
    EXPECT_EQ("-1", f.at("result")) << f.at("export");
    EXPECT_EQ(ErrorReply("动态库入口(" + f.at("export") + ")", -7010), f.at("reply"));
    busy += f.at("export") + " ";
  }
  const std::string exports = "f_UserCorvaneInit f_UserCorvaneApply f_UserCorvaneClose f_SetUserTradeCfg ";
  EXPECT_EQ(exports + exports, busy);
  EXPECT_EQ(2, waited);
  EXPECT_EQ("28|2|1|", Pending());
}

}  // namespace
}  // namespace corvane::flowtest
