// Session start and close through the exports.
#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

TEST_F(FlowTest, InitSendsTheVersionListAndStoresEveryDefinition) {
  SetIni("TradeCfg.ini", "USERTRADE", "99", "99,5,1111111111111,0,a,b,c,d");
  Answer(21, InitReply({ParamLine(21, 6, Flags("0000001")), ParamLine(22, 5, Flags("0101001"))}));
  Session({});
  auto calls = FrontCalls();
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ(21, calls[0].trade_no);
  EXPECT_EQ("~~~~~1050,02.21.0101.04.1050%%1060,1.1.0.01.1", calls[0].request);
  EXPECT_EQ("021" + std::string(14, '0'), calls[0].packet.substr(0, 17));
  EXPECT_EQ(ParamLine(21, 6, Flags("0000001")), Ini("TradeCfg.ini", "USERTRADE", "21"));
  EXPECT_EQ(ParamLine(22, 5, Flags("0101001")), Ini("TradeCfg.ini", "USERTRADE", "22"));
  EXPECT_EQ("99,5,1111111111111,0,a,b,c,d", Ini("TradeCfg.ini", "USERTRADE", "99"));
  EXPECT_NE("", Ini("TradeCfg.ini", "SYSTEM", "SysHaveInit"));
  // Every key of the settings file exists afterwards.
  for (const char* key : {"Com", "ReadType", "CardType", "baud", "OpType"})
    EXPECT_EQ("", Ini("TradeCfg.ini", "HardWare", key)) << key;
}

// A positive status with both fields present still opens the session.
TEST_F(FlowTest, TwoInitsInARowBothSucceedAndAReplyMissingFieldsFails) {
  Answer(21, std::vector<std::string>{InitReply({}), InitReply({}), "0~~~~~~", "0~~~~~~~defs",
                                      "1~refused~~~~~~~~1050,0"});
  StartFrontEnd();
  auto r = Host({{"init"}, {"init", "anything"}, {"init"}, {"init"}, {"init"}});
  for (int i : {0, 1, 4}) EXPECT_EQ(Ok("$$0~~~~$$"), r[i]) << i;
  EXPECT_EQ(Failed(InitError(":004", -7105)), r[2]);
  EXPECT_EQ(Failed(InitError(":004", -7106)), r[3]);
}

TEST_F(FlowTest, CloseEndsTheSessionAndANewInitRestoresIt) {
  Answer(21, InitReply({ParamLine(250, 1, Flags("0000001"))}));
  Answer(250, "0~done");
  StartFrontEnd();
  auto r = Host({{"close"}, {"init"}, {"close", "ignored"}, {"close"},
                 {"apply", "250", "1", "$$a$$"}, {"init"}, {"apply", "250", "1", "$$a$$"}});
  for (int i : {0, 2, 3}) EXPECT_EQ(Ok("$$0~~$$"), r[i]) << i;
  EXPECT_EQ(Failed(ApplyError(":001", -7003)), r[4]);
  EXPECT_EQ(Ok("$$0~done~~~~$$"), r[6]);
}

TEST_F(FlowTest, NewSessionKeepsAnUnfinishedTransactionAsideWithoutReportingIt) {
  SetIni("TradeLog.ini", "000", "TradeTypeID", "27");
  SetIni("TradeLog.ini", "000", "TradeId", "20261207000123");
  SetIni("TradeLog.ini", "000", "Ybzt", "2");
  Answer(21, InitReply({}));
  Answer(250, "0~done");
  auto r = Session({{"apply", "250", "1", "$$a$$"}});
  EXPECT_EQ("$$0~done~~~~$$", r[0].text);
  EXPECT_EQ(std::vector<std::string>{"250:a~"}, Sent());
  EXPECT_EQ("", Ini("TradeLog.ini", "000", "TradeTypeID"));
  const std::string journal = corvane::testing::ReadFile(*dir_ / "TradeLog.ini");
  const size_t at = journal.find("[000-");
  ASSERT_NE(at, std::string::npos) << journal;
  const std::string archive = journal.substr(at + 1, journal.find(']', at) - at - 1);
  EXPECT_EQ("27", Ini("TradeLog.ini", archive, "TradeTypeID"));
  EXPECT_EQ("20261207000123", Ini("TradeLog.ini", archive, "TradeId"));
  EXPECT_EQ("2", Ini("TradeLog.ini", archive, "Ybzt"));
}

TEST_F(FlowTest, ARefusedDefinitionLeavesTheStoredDefinitionsWhole) {
  SetIni("TradeCfg.ini", "USERTRADE", "21", "21,5,1111111111111,0,a,b,c,old");
  // The second entry names a key that an ini file cannot hold.
  Answer(21, InitReply({ParamLine(21, 6, Flags("0000001")), "a=b,5,1111111111111,0,a,b,c,d",
                        ParamLine(22, 5, Flags("0101001"))}));
  StartFrontEnd();
  auto r = Host({{"init"}});
  EXPECT_EQ(Failed(InitError(":004", -7034)), r[0]);
  EXPECT_EQ("21,5,1111111111111,0,a,b,c,old", Ini("TradeCfg.ini", "USERTRADE", "21"));
  EXPECT_EQ("", Ini("TradeCfg.ini", "USERTRADE", "22"));
}

}  // namespace
}  // namespace corvane::flowtest
