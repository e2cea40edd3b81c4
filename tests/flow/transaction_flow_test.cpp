// Transactions through f_UserCorvaneApply without the card: pre-checks, the
// request sent, the reply assembled, and the report of an unfinished
// transaction (49) before the next one.
#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

using Strings = std::vector<std::string>;

class TransactionFlow : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    // 27 and 31: six fields, journal on, no card steps.
    Answer(21, InitReply({ParamLine(27, 6, Flags("0000001")), ParamLine(31, 6, Flags("0000001"))}));
    Answer(49, "0~");
  }
};

// 200 is the first download transaction; 199 is still checked as a card
// transaction and needs its five fields.
TEST_F(TransactionFlow, DownloadTransactionPassesTheRequestAndRepliesTwoFields) {
  Answer(200, "0~done~x~y~z~w~v");
  auto r = Session({{"apply", "200", "1", "  $$a~b$$ ", "EX"}, {"apply", "199", "1", "$$a~b$$"}});
  EXPECT_EQ(Ok("$$0~done~~~~$$"), r[0]);
  EXPECT_EQ(Failed(ApplyError(":002", -7101)), r[1]);
  EXPECT_EQ(Strings{"200:a~b~EX"}, Sent());
  EXPECT_EQ("a~b~EX", Ini("TradeLog.ini", "200", "InMsg"));
  EXPECT_EQ("0~done~~~~", Ini("TradeLog.ini", "200", "OutMsg"));
}

// The additional field is the last field sent, also when empty; a reply of
// six fields gives five, a longer one keeps its rest.
TEST_F(TransactionFlow, AdditionalFieldIsSentAndReplyFieldSixIsLeftOut) {
  Answer(31, Strings{"0~ok~0~f4~f5~f6", "0~ok~0~f4~f5~f6~r7~r8"});
  auto r = Session({{"apply", "31", "5", kRequest, ""}, {"apply", "31", "6", kRequest, "LAST"}});
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5$$"), r[0]);
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5~r7~r8$$"), r[1]);
  EXPECT_EQ((Strings{"31:0~c~0~ex~p5~p6~", "49:~~~~31~5~~~1~~~", "31:0~c~0~ex~p5~p6~LAST"}), Sent());
  EXPECT_EQ("0~c~0~ex~p5~p6~LAST", Ini("TradeLog.ini", "31", "InMsg"));
  EXPECT_EQ("0~ok~0~f4~f5~r7~r8", Ini("TradeLog.ini", "31", "OutMsg"));
  EXPECT_EQ("31|6|1|", Pending());
}

// A failed call answers with the front end's reply and leaves the
// transaction pending with the remote state 2; after a report, a call
// without reply text gives the standard body with -7204.
TEST_F(TransactionFlow, FailedCallAnswersWithItsOwnReplyAndStaysPending) {
  Answer(49, "0~noted");
  Answer(31, Strings{"0~ok~0~f4~f5~f6", "", "-1~own reply"});
  auto r = Session({{"apply", "31", "1", kRequest}, {"apply", "31", "2", kRequest},
                    {"apply", "31", "3", kRequest}});
  EXPECT_EQ(0, r[0].status);
  EXPECT_EQ(Failed(ApplyError(":011", -7204)), r[1]);
  EXPECT_EQ(Failed("$$-1~own reply$$"), r[2]);
  EXPECT_EQ((Strings{"31:0~c~0~ex~p5~p6~", "49:~~~~31~1~~~1~~~", "31:0~c~0~ex~p5~p6~",
                     "49:~~~~31~2~~~2~~~", "31:0~c~0~ex~p5~p6~"}),
            Sent());
  EXPECT_EQ("31|3|2|", Pending());
  EXPECT_EQ("0~ok~0~f4~f5", Ini("TradeLog.ini", "31", "OutMsg"));  // the first's only
}

TEST_F(TransactionFlow, TwentySevenTwentyNineAndThirtyFourCutTheReplyRestAtTheCardData) {
  std::vector<std::string> lines;
  for (int n : {27, 29, 33, 34}) lines.push_back(ParamLine(n, 6, Flags("0000001")));
  Answer(21, InitReply(lines));
  for (int n : {27, 33, 34}) Answer(n, "0~ok~0~f4~f5~f6~x~yABCz");
  Answer(29, Strings{"0~ok~0~f4~f5~f6~x~yABCz", "0~ok~0~f4~f5~f6~x~y"});
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
  Answer(28, "0~ok~0~f4~f5~f6");
  auto r = Session({{"apply", "27", "1", "0~c~0~ex~p5~p6"},
                    {"apply", "27", "1", "$$0~c~0~ex$$"},
                    {"apply", "27", "1", "$$0~c~0~ex~p5~p6~p7$$"},
                    {"apply", "28", "1", "$$0~c~0~ex~p5~p6~p7$$"}});
  EXPECT_EQ(Failed(ApplyError(":001", -7001)), r[0]);
  EXPECT_EQ(Failed(ApplyError(":002", -7101)), r[1]);
  EXPECT_EQ(Failed(ApplyError(":002", -7102)), r[2]);
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5$$"), r[3]);  // no parameter line: no count check
  EXPECT_EQ(Strings{"28:0~c~0~ex~p5~p6~p7~"}, Sent());
}

TEST_F(TransactionFlow, RepliesTooShortForTheHeadOrWithoutFieldsFail) {
  Answer(27, "0~ok~0~f4~f5");
  Answer(250, "0");
  auto r = Session({{"apply", "27", "1", kRequest}, {"apply", "250", "1", "$$a$$"}});
  EXPECT_EQ(Failed(ApplyError(":013", -7205)), r[0]);
  EXPECT_EQ(-1, r[1].status);
  EXPECT_EQ(0u, r[1].text.find("$$-1~1050%%" + kApplyTag + ":017%%-7035%%")) << r[1].text;
}

TEST_F(TransactionFlow, SecondTransactionReportsTheFirstAsFortyNine) {
  Answer(49, "0~noted");
  Answer(27, "0~ok~0~f4~f5~f6");
  Answer(31, "0~ok~0~f4~f5~f6");
  auto r = Session({{"apply", "27", "12345", kRequest}, {"apply", "31", "777", kRequest}});
  EXPECT_EQ(0, r[1].status);
  EXPECT_EQ((Strings{"27:0~c~0~ex~p5~p6~", "49:~~~~27~12345~~~1~~~", "31:0~c~0~ex~p5~p6~"}), Sent());
  EXPECT_EQ(std::string(14, '0'), CallsOf(49)[0].packet.substr(3, 14));  // serial 0
  EXPECT_EQ("31|777|1|", Pending());
}

TEST_F(TransactionFlow, FailedReportStopsTheTransactionAndKeepsThePendingOne) {
  Answer(27, "0~ok~0~f4~f5~f6");
  Answer(49, "-1~report refused");
  auto r = Session({{"apply", "27", "12345", kRequest}, {"apply", "31", "777", kRequest},
                    {"apply", "31", "778", kRequest}});
  EXPECT_EQ(Failed("$$-1~report refused$$"), r[1]);
  EXPECT_EQ((Strings{"27:0~c~0~ex~p5~p6~", "49:~~~~27~12345~~~1~~~", "49:~~~~27~12345~~~1~~~"}),
            Sent());
  EXPECT_EQ("27|12345|1|", Pending());
}

TEST_F(FlowTest, RequestedFortyNineIsTheReportItself) {
  Answer(21, InitReply({ParamLine(49, 5, Flags("0000001"))}));
  Answer(49, "0~ok~0~f4~f5~f6~r");
  auto r = Session({{"apply", "49", "0", "$$0~c~0~ex~p5$$", "X"}});
  EXPECT_EQ("$$0~ok~0~f4~f5~r$$", r[0].text);
  EXPECT_EQ(std::vector<std::string>{"49:0~c~0~ex~p5~~~~"}, Sent());
}

TEST_F(FlowTest, JournalOffLeavesThePendingSectionButStillReports) {
  Answer(21, InitReply({ParamLine(27, 6, Flags("0000001")), ParamLine(31, 6, Flags("0000000"))}));
  Answer(27, "0~ok~0~f4~f5~f6");
  Answer(31, "0~ok~0~f4~f5~f6");
  Answer(49, "0~");
  auto r = Session({{"apply", "27", "5", kRequest}, {"apply", "31", "6", kRequest}});
  EXPECT_EQ(0, r[1].status);
  EXPECT_EQ(1u, CallsOf(49).size());
  EXPECT_EQ("|||", Pending());
}

TEST_F(FlowTest, SerialIsCheckedAgainstTheJournalledTwentyThree) {
  Answer(21, InitReply({ParamLine(23, 5, Flags("0000001")), ParamLine(33, 6, Flags("1000001"))}));
  Answer(23, "0~ok~0~f4~f5~f6~00000000012345");
  Answer(33, "0~ok~0~f4~f5~f6");
  Answer(49, "0~");
  auto r = Session({{"apply", "33", "12345", kRequest}, {"apply", "23", "1", "$$0~c~0~ex~33$$"},
                    {"apply", "33", "12346", kRequest}, {"apply", "33", "12345", kRequest}});
  EXPECT_EQ(Failed(ApplyError(":002", -7103)), r[0]);
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5~00000000012345$$"), r[1]);
  EXPECT_EQ("", Ini("TradeLog.ini", "23", "UseTime"));
  EXPECT_EQ(Failed(ApplyError(":002", -7103)), r[2]);
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5$$"), r[3]);
  EXPECT_NE("", Ini("TradeLog.ini", "33", "UseTime"));
}

}  // namespace
}  // namespace corvane::flowtest
