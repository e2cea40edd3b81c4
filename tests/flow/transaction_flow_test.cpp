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

// 200 is the first download transaction; 199 is still checked as a card
// transaction and needs its five fields.
TEST_F(TransactionFlow, DownloadTransactionPassesTheRequestAndRepliesTwoFields) {
  Answer(200, "0~done~x~y~z~w~v");
  Answer(49, "0~");
  auto r = Session({{"apply", "200", "1", "  $$a~b$$ ", "EX"}, {"apply", "199", "1", "$$a~b$$"}});
  EXPECT_EQ(0, r[0].status);
  EXPECT_EQ("$$0~done~~~~$$", r[0].text);
  auto calls = FrontCalls();
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(200, calls[1].trade_no);
  EXPECT_EQ("a~b~EX", calls[1].request);
  EXPECT_EQ("a~b~EX", Ini("TradeLog.ini", "200", "InMsg"));
  EXPECT_EQ("0~done~~~~", Ini("TradeLog.ini", "200", "OutMsg"));
  EXPECT_EQ(ErrorReply(kApplyTag + ":002", -7101), r[1].text);
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

TEST_F(TransactionFlow, TwentySevenTwentyNineAndThirtyFourCutTheReplyRestAtTheCardData) {
  std::vector<std::string> lines;
  for (int n : {27, 29, 33, 34}) lines.push_back(ParamLine(n, 6, Flags("0000001")));
  Answer(21, InitReply(lines));
  for (int n : {27, 33, 34}) Answer(n, "0~ok~0~f4~f5~f6~x~yABCz");
  Answer(29, std::vector<std::string>{"0~ok~0~f4~f5~f6~x~yABCz", "0~ok~0~f4~f5~f6~x~y"});
  Answer(49, "0~");
  const std::string request = "$$0~ABC~0~ex~p5~p6$$";
  auto r = Session({{"apply", "27", "1", request}, {"apply", "29", "1", request},
                    {"apply", "34", "1", request}, {"apply", "33", "1", request},
                    {"apply", "29", "1", request}});
  EXPECT_EQ("$$0~ok~0~f4~f5~x~y$$", r[0].text);
  EXPECT_EQ("$$0~ok~0~f4~f5~x~y$$", r[1].text);
  EXPECT_EQ("$$0~ok~0~f4~f5~x~y$$", r[2].text);
  EXPECT_EQ("$$0~ok~0~f4~f5~x~yABCz$$", r[3].text);  // 33 keeps its rest
  EXPECT_EQ("$$0~ok~0~f4~f5~$$", r[4].text);  // no card data in the rest: emptied
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
