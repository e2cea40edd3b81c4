// Values that would not fit the fixed-width packet header are refused
// before the card is touched or anything is sent; settings files saved
// with a UTF-8 byte-order mark still work.
#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

class PacketFields : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    // 33: read and lock the card; 27: no card steps.
    Answer(21, InitReply({ParamLine(33, 6, Flags("0101001")), ParamLine(27, 6, Flags("0000001"))}));
    Answer(33, "0~ok~0~f4~f5~f6");
    Answer(27, "0~ok~0~f4~f5~f6");
    Answer(49, "0~");
    PutCard(Card('A'));
  }
};

TEST_F(PacketFields, SerialThatDoesNotFitFourteenDigitsIsASerialErrorBeforeTheCard) {
  auto r = Session({{"apply", "33", "1e15", kCardRequest}, {"apply", "33", "-3", kCardRequest},
                    {"apply", "33", "99999999999999.5", kCardRequest},
                    {"apply", "33", "99999999999999", kCardRequest}});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Failed(ApplyError(":002", -7005)), r[i]) << i;
  EXPECT_EQ(0, r[3].status) << r[3].text;
  // Only the last transaction reached the card and the front end.
  EXPECT_EQ((std::vector<std::string>{"99999999999999", "00000000000000"}), WrittenLocks());
  auto calls = CallsOf(33);
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("03399999999999999", calls[0].packet.substr(0, 17));
}

TEST_F(PacketFields, LocalIpLongerThanItsFieldFailsTheSessionStartBeforeItIsSent) {
  SetIni("TradeCfg.ini", "SYSTEM", "LocalIP", "192.168.100.2001");
  StartFrontEnd();
  EXPECT_EQ(Failed(InitError(".003", -7008)), Host({{"init"}})[0]);
  EXPECT_TRUE(FrontCalls().empty());
}

// The additional field counts too; the card is never opened and the
// journal never written for a request that cannot be sent.
TEST_F(PacketFields, TooLongRequestOfACardTransactionIsRefusedBeforeCardAndJournal) {
  const std::string request = "$$1~c~0~ex~p5~" + std::string(999980, 'x') + "$$";
  auto r = Session({{"apply", "33", "5", request, std::string(10, 'e')}});
  EXPECT_EQ(-1, r[0].status);
  const std::string head = "$$-1~1050%%" + kApplyTag + ":002%%-7007%%错误原因:";
  EXPECT_EQ(head, r[0].text.substr(0, head.size())) << r[0].text.substr(0, 300);
  EXPECT_NE(std::string::npos, r[0].text.find("(1000003字节)")) << r[0].text;
  EXPECT_TRUE(CardCalls().empty());
  EXPECT_EQ("|||", Pending());
  EXPECT_TRUE(Sent().empty());
}

// The card data read into the request can make it too long: nothing is
// sent, the card is unlocked again, and the code stays the request's own.
TEST_F(PacketFields, RequestThatTheCardDataMakesTooLongKeepsItsOwnCode) {
  auto r = Session({{"apply", "33", "5", "$$1~c~0~ex~p5~" + std::string(999980, 'x') + "$$"}});
  const std::string head = "$$-1~1050%%" + kApplyTag + ":011%%-7007%%错误原因:";
  EXPECT_EQ(head, r[0].text.substr(0, head.size())) << r[0].text.substr(0, 300);
  EXPECT_NE(std::string::npos, r[0].text.find("(1000392字节)")) << r[0].text;
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ((std::vector<std::string>{"00000000000005", "00000000000000"}), WrittenLocks());
}

TEST_F(PacketFields, SettingsAndJournalWithAByteOrderMarkWork) {
  const std::string bom = "\xEF\xBB\xBF";
  corvane::testing::WriteFile(*dir_ / "TradeCfg.ini",
                              bom + "[SYSTEM]\r\nLocalIP=10.1.2.3\r\nNativeAddress=" + address_ +
                                  "\r\nNativeServer=CorvaneFront.Trade\r\nAREAID=0101\r\n");
  corvane::testing::WriteFile(*dir_ / "TradeLog.ini", bom + "[27]\r\nTradeId=5\r\n");
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5~$$"), Apply(27, "7", kRequest));
  EXPECT_EQ("7", Ini("TradeLog.ini", "27", "TradeId"));
  EXPECT_EQ(bom, corvane::testing::ReadFile(*dir_ / "TradeCfg.ini").substr(0, 3));
  EXPECT_EQ(bom, corvane::testing::ReadFile(*dir_ / "TradeLog.ini").substr(0, 3));
  // One section of each name: the mark did not hide the existing one.
  const std::string log = corvane::testing::ReadFile(*dir_ / "TradeLog.ini");
  EXPECT_EQ(log.find("[27]"), log.rfind("[27]"));
}

}  // namespace
}  // namespace corvane::flowtest
