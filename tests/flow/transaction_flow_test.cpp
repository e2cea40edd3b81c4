// Transactions through f_UserCorvaneApply: pre-checks, the request sent,
// the reply assembled.
#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

const std::string kApplyTag = "交易申请实现函数(f_UCApply)";

class TransactionFlow : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    // 27 and 31: six fields, journal on, no card steps.
    Answer(21, InitReply({ParamLine(27, 6, Flags("0000001")), ParamLine(31, 6, Flags("0000001"))}));
  }
};

TEST_F(TransactionFlow, DownloadTransactionPassesTheRequestAndRepliesTwoFields) {
  Answer(250, "0~done~x~y~z~w~v");
  auto r = Apply(250, "1", "  $$a~b$$ ", "EX");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("$$0~done~~~~$$", r.text);
  auto calls = FrontCalls();
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(250, calls[1].trade_no);
  EXPECT_EQ("a~b~EX", calls[1].request);
  EXPECT_EQ("a~b~EX", Ini("TradeLog.ini", "250", "InMsg"));
  EXPECT_EQ("0~done~~~~", Ini("TradeLog.ini", "250", "OutMsg"));
}

TEST_F(TransactionFlow, AdditionalFieldIsTheLastFieldSentAlsoWhenEmpty) {
  Answer(27, "0~ok~0~f4~f5~f6");
  auto r = Session({{"apply", "27", "5", "$$0~c~0~ex~p5~p6$$", ""},
                    {"apply", "27", "6", "$$0~c~0~ex~p5~p6$$", "LAST"}});
  auto calls = FrontCalls();
  std::vector<std::string> sent;
  for (const Received& c : calls)
    if (c.trade_no == 27) sent.push_back(c.request);
  ASSERT_EQ(2u, sent.size());
  EXPECT_EQ("0~c~0~ex~p5~p6~", sent[0]);
  EXPECT_EQ("0~c~0~ex~p5~p6~LAST", sent[1]);
  EXPECT_EQ("0~c~0~ex~p5~p6~LAST", Ini("TradeLog.ini", "27", "InMsg"));
}

TEST_F(TransactionFlow, ReplyOfSixFieldsGivesFiveAndLongerRepliesKeepTheirRest) {
  Answer(31, std::vector<std::string>{"0~ok~0~f4~f5~f6", "0~ok~0~f4~f5~f6~r7~r8"});
  Answer(49, "0~");
  auto r = Session({{"apply", "31", "1", "$$0~c~0~ex~p5~p6$$"},
                    {"apply", "31", "2", "$$0~c~0~ex~p5~p6$$"}});
  EXPECT_EQ(0, r[0].status);
  EXPECT_EQ("$$0~ok~0~f4~f5$$", r[0].text);
  EXPECT_EQ("$$0~ok~0~f4~f5~r7~r8$$", r[1].text);
  EXPECT_EQ("0~ok~0~f4~f5~r7~r8", Ini("TradeLog.ini", "31", "OutMsg"));
}

TEST_F(TransactionFlow, FailedCallAnswersWithTheFrontEndsReply) {
  Answer(27, "-1~no patient");
  auto r = Apply(27, "1", "$$0~c~0~ex~p5~p6$$");
  EXPECT_EQ(-1, r.status);
  EXPECT_EQ("$$-1~no patient$$", r.text);
  EXPECT_EQ("27", Ini("TradeLog.ini", "000", "TradeTypeID"));
  EXPECT_EQ("2", Ini("TradeLog.ini", "000", "Ybzt"));
  EXPECT_EQ("", Ini("TradeLog.ini", "27", "OutMsg"));  // nothing completed
}

TEST_F(TransactionFlow, TwentySevenCutsTheReplyRestAtTheCardData) {
  Answer(21, InitReply({ParamLine(27, 6, Flags("0000001")), ParamLine(29, 6, Flags("0000001"))}));
  Answer(27, "0~ok~0~f4~f5~f6~x~yABCz");
  Answer(29, "0~ok~0~f4~f5~f6~x~y");
  Answer(49, "0~");
  auto r = Session({{"apply", "27", "1", "$$0~ABC~0~ex~p5~p6$$"},
                    {"apply", "29", "1", "$$0~ABC~0~ex~p5~p6$$"}});
  EXPECT_EQ("$$0~ok~0~f4~f5~x~y$$", r[0].text);
  EXPECT_EQ("$$0~ok~0~f4~f5~$$", r[1].text);  // no card data in the rest: emptied
}

TEST_F(TransactionFlow, RequestChecksRefuseWhatTheLineForbids) {
  Answer(27, "0~ok~0~f4~f5~f6");
  Answer(28, "0~ok~0~f4~f5~f6");
  Answer(49, "0~");
  auto r = Session({{"apply", "27", "1", "0~c~0~ex~p5~p6"},
                    {"apply", "27", "1", "$$0~c~0~ex$$"},
                    {"apply", "27", "1", "$$0~c~0~ex~p5~p6~p7$$"},
                    {"apply", "28", "1", "$$0~c~0~ex~p5~p6~p7$$"}});
  EXPECT_EQ(ErrorReply(kApplyTag + ":001", -7001), r[0].text);
  EXPECT_EQ(ErrorReply(kApplyTag + ":002", -7101), r[1].text);
  EXPECT_EQ(ErrorReply(kApplyTag + ":002", -7102), r[2].text);
  // No parameter line: no count check.
  EXPECT_EQ(0, r[3].status);
  EXPECT_EQ("$$0~ok~0~f4~f5$$", r[3].text);
}

TEST_F(TransactionFlow, RepliesTooShortForTheHeadOrWithoutFieldsFail) {
  Answer(27, "0~ok~0~f4~f5");
  Answer(250, "0");
  Answer(49, "0~");
  auto r = Session({{"apply", "27", "1", "$$0~c~0~ex~p5~p6$$"}, {"apply", "250", "1", "$$a$$"}});
  EXPECT_EQ(ErrorReply(kApplyTag + ":013", -7205), r[0].text);
  EXPECT_EQ(-1, r[1].status);
  EXPECT_EQ(0u, r[1].text.find("$$-1~1050%%" + kApplyTag + ":017%%-7035%%")) << r[1].text;
}

}  // namespace
}  // namespace corvane::flowtest
