// The journal across transactions: the leftover report, the serial check
// against transaction 23 and the card rewrite.
#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

const std::string kApplyTag = "交易申请实现函数(f_UCApply)";

std::vector<Received> CallsOf(const std::vector<Received>& all, int trade_no) {
  std::vector<Received> some;
  for (const Received& c : all)
    if (c.trade_no == trade_no) some.push_back(c);
  return some;
}

TEST_F(FlowTest, SecondTransactionReportsTheFirstAsFortyNine) {
  Answer(21, InitReply({ParamLine(27, 6, Flags("0000001")), ParamLine(31, 6, Flags("0000001"))}));
  Answer(27, "0~ok~0~f4~f5~f6");
  Answer(31, "0~ok~0~f4~f5~f6");
  Answer(49, "0~noted");
  auto r = Session({{"apply", "27", "12345", "$$0~c~0~ex~p5~p6$$"},
                    {"apply", "31", "777", "$$0~c~0~ex~p5~p6$$"}});
  EXPECT_EQ(0, r[1].status);
  auto calls = FrontCalls();
  ASSERT_EQ(4u, calls.size());
  EXPECT_EQ(49, calls[2].trade_no);
  EXPECT_EQ("~~~~27~12345~~~1~~~", calls[2].request);
  EXPECT_EQ(std::string(14, '0'), calls[2].packet.substr(3, 14));  // serial 0
  EXPECT_EQ(31, calls[3].trade_no);
  EXPECT_EQ("31", Ini("TradeLog.ini", "000", "TradeTypeID"));
  EXPECT_EQ("777", Ini("TradeLog.ini", "000", "TradeId"));
}

TEST_F(FlowTest, FailedReportStopsTheTransactionAndKeepsThePendingOne) {
  Answer(21, InitReply({ParamLine(27, 6, Flags("0000001")), ParamLine(31, 6, Flags("0000001"))}));
  Answer(27, "0~ok~0~f4~f5~f6");
  Answer(49, "-1~report refused");
  auto r = Session({{"apply", "27", "12345", "$$0~c~0~ex~p5~p6$$"},
                    {"apply", "31", "777", "$$0~c~0~ex~p5~p6$$"},
                    {"apply", "31", "778", "$$0~c~0~ex~p5~p6$$"}});
  EXPECT_EQ(-1, r[1].status);
  EXPECT_EQ("$$-1~report refused$$", r[1].text);
  EXPECT_TRUE(CallsOf(FrontCalls(), 31).empty());
  EXPECT_EQ(2u, CallsOf(FrontCalls(), 49).size());  // tried again
  EXPECT_EQ("27", Ini("TradeLog.ini", "000", "TradeTypeID"));
  EXPECT_EQ("12345", Ini("TradeLog.ini", "000", "TradeId"));
  EXPECT_EQ("1", Ini("TradeLog.ini", "000", "Ybzt"));
}

TEST_F(FlowTest, RequestedFortyNineIsTheReportItself) {
  Answer(21, InitReply({ParamLine(49, 5, Flags("0000001"))}));
  Answer(49, "0~ok~0~f4~f5~f6~r");
  auto r = Session({{"apply", "49", "0", "$$0~c~0~ex~p5$$", "X"}});
  EXPECT_EQ("$$0~ok~0~f4~f5~r$$", r[0].text);
  auto calls = CallsOf(FrontCalls(), 49);
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("0~c~0~ex~p5~~~~", calls[0].request);
}

TEST_F(FlowTest, SerialIsCheckedAgainstTheJournalledTwentyThree) {
  Answer(21, InitReply({ParamLine(23, 5, Flags("0000001")), ParamLine(33, 6, Flags("1000001"))}));
  Answer(23, "0~ok~0~f4~f5~f6~00000000012345");
  Answer(33, "0~ok~0~f4~f5~f6");
  Answer(49, "0~");
  auto r = Session({{"apply", "33", "12345", "$$0~c~0~ex~p5~p6$$"},
                    {"apply", "23", "1", "$$0~c~0~ex~33$$"},
                    {"apply", "33", "12346", "$$0~c~0~ex~p5~p6$$"},
                    {"apply", "33", "12345", "$$0~c~0~ex~p5~p6$$"}});
  EXPECT_EQ(ErrorReply(kApplyTag + ":002", -7103), r[0].text);
  EXPECT_EQ("$$0~ok~0~f4~f5~00000000012345$$", r[1].text);
  EXPECT_EQ("", Ini("TradeLog.ini", "23", "UseTime"));
  EXPECT_EQ(ErrorReply(kApplyTag + ":002", -7103), r[2].text);
  EXPECT_EQ(0, r[3].status);
  EXPECT_EQ("$$0~ok~0~f4~f5$$", r[3].text);
  EXPECT_NE("", Ini("TradeLog.ini", "33", "UseTime"));
}

TEST_F(FlowTest, JournalOffLeavesThePendingSectionButStillReports) {
  Answer(21, InitReply({ParamLine(27, 6, Flags("0000001")), ParamLine(31, 6, Flags("0000000"))}));
  Answer(27, "0~ok~0~f4~f5~f6");
  Answer(31, "0~ok~0~f4~f5~f6");
  Answer(49, "0~");
  auto r = Session({{"apply", "27", "5", "$$0~c~0~ex~p5~p6$$"},
                    {"apply", "31", "6", "$$0~c~0~ex~p5~p6$$"}});
  EXPECT_EQ(0, r[1].status);
  EXPECT_EQ(1u, CallsOf(FrontCalls(), 49).size());
  EXPECT_EQ("", Ini("TradeLog.ini", "000", "TradeTypeID"));
}

class CardRewriteFlow : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    // 27: card read and rewrite from the journal, lock switched off.
    Answer(21, InitReply({ParamLine(27, 6, Flags("0110001"))}));
    Answer(27, "0~ok~0~f4~f5~f6");
    SetIni("TradeLog.ini", "27", "TradeId", "12345");
    SetIni("TradeLog.ini", "27", "OutMsg", "0~ok~0~f4~" + Card('A') + "%%" + Card('B') + "%%20~f6");
    PutCard(Card('A'));
  }
};

TEST_F(CardRewriteFlow, SameSerialRewritesTheCardBeforeTheCall) {
  auto r = Apply(27, "12345", "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(0, r.status) << r.text;
  EXPECT_EQ(Card('B'), CardOnFile());
  auto calls = CallsOf(FrontCalls(), 27);
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("1~" + Card('B') + "~0~ex~p5~p6~", calls[0].request);
}

TEST_F(CardRewriteFlow, AnotherSerialWritesNothing) {
  auto r = Apply(27, "12346", "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(-1, r.status);
  EXPECT_EQ(0u, r.text.find("$$-1~1050%%" + kApplyTag + ":008%%")) << r.text;
  EXPECT_TRUE(CardWrites().empty());
  EXPECT_EQ(Card('A'), CardOnFile());
  EXPECT_TRUE(CallsOf(FrontCalls(), 27).empty());
}

TEST_F(CardRewriteFlow, AnotherCardWritesNothing) {
  PutCard(Card('C'));
  auto r = Apply(27, "12345", "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(0u, r.text.find("$$-1~1050%%" + kApplyTag + ":008%%")) << r.text;
  EXPECT_TRUE(CardWrites().empty());
}

TEST_F(CardRewriteFlow, FailedRewriteIsReported) {
  FailCard("IC_SaveData", 7);
  auto r = Apply(27, "12345", "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(ErrorReply(kApplyTag + ":009", -7203), r.text);
}

}  // namespace
}  // namespace corvane::flowtest
