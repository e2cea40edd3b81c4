// The IC card around a transaction: read, lock on the way out, unlock or
// write-back on the way back, and the journal states when a step fails.
#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

const std::string kApplyTag = "交易申请实现函数(f_UCApply)";
const std::string kSerial = "12345";
const std::string kLocked = "00000000012345";
const std::string kUnlocked = "00000000000000";

std::string LockField(const CardCall& write) {
  auto it = write.fields.find("data");
  return it == write.fields.end() || it->second.size() < 194 ? "" : it->second.substr(180, 14);
}

class CardFlow : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    // 33: read and lock;  28: read only;  22: read, journal off, lock on;
    // 26: card kind handling;  25: no read, lock neither forced nor off.
    Answer(21, InitReply({ParamLine(33, 6, Flags("0101001")), ParamLine(28, 6, Flags("0100001")),
                          ParamLine(22, 6, Flags("0102000")), ParamLine(26, 6, Flags("0100101")),
                          ParamLine(25, 6, Flags("0002001"))}));
    Answer(49, "0~");
    PutCard(Card('A'));
  }
};

TEST_F(CardFlow, CardIsLockedOnTheWayOutAndUnlockedOnTheWayBack) {
  Answer(33, "0~ok~0~f4~f5~f6");
  auto r = Apply(33, kSerial, "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(0, r.status) << r.text;
  auto writes = CardWrites();
  ASSERT_EQ(2u, writes.size());
  EXPECT_EQ(kLocked, LockField(writes[0]));
  EXPECT_EQ("20", writes[0].fields["code"]);
  EXPECT_EQ(kUnlocked, LockField(writes[1]));
  EXPECT_EQ(Card('A'), CardOnFile());
  auto calls = FrontCalls();
  EXPECT_EQ("1~" + Card('A') + "~0~ex~p5~p6~", calls.back().request);
}

TEST_F(CardFlow, ReplyCardDataIsWrittenBackAndJournalled) {
  Answer(33, "0~ok~1~f4~" + Card('B', "00000000000099") + "%%20~f6~r7");
  auto r = Apply(33, kSerial, "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(0, r.status) << r.text;
  EXPECT_EQ("$$0~ok~1~f4~" + Card('B') + "~r7$$", r.text);
  auto writes = CardWrites();
  ASSERT_EQ(2u, writes.size());  // lock, then the reply's data
  EXPECT_EQ(Card('B'), writes[1].fields["data"]);
  EXPECT_EQ(Card('B'), CardOnFile());
  EXPECT_EQ("1", Ini("TradeLog.ini", "000", "Iczt"));
  EXPECT_EQ("0", Ini("TradeLog.ini", "000", "TAC"));
}

TEST_F(CardFlow, RefusedTransactionUnlocksTheCardAndStillSucceeds) {
  Answer(33, "1~refused~0~f4~f5~f6");
  auto r = Apply(33, kSerial, "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("$$1~refused~0~f4~f5$$", r.text);
  // Lock, the unlock after the refusal, the unlock on the way back.
  auto writes = CardWrites();
  ASSERT_EQ(3u, writes.size());
  EXPECT_EQ(kLocked, LockField(writes[0]));
  EXPECT_EQ(kUnlocked, LockField(writes[1]));
  EXPECT_EQ(kUnlocked, LockField(writes[2]));
  EXPECT_EQ(kUnlocked, CardOnFile().substr(180, 14));
}

TEST_F(CardFlow, FailedCallUnlocksTheCardAndJournalsTheRemoteState) {
  Answer(33, "-1~no patient");
  auto r = Apply(33, kSerial, "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ("$$-1~no patient$$", r.text);
  EXPECT_EQ(kUnlocked, CardOnFile().substr(180, 14));
  EXPECT_EQ("2", Ini("TradeLog.ini", "000", "Ybzt"));
  EXPECT_EQ("33", Ini("TradeLog.ini", "000", "TradeTypeID"));
}

TEST_F(CardFlow, FailedWriteBackLeavesTheCardStateForTheReport) {
  Answer(28, "0~ok~1~f4~" + Card('B') + "%%20~f6");
  FailCard("IC_SaveData", 4);
  auto r = Apply(28, kSerial, "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(ErrorReply(kApplyTag + ":014", -7203), r.text);
  EXPECT_EQ("1", Ini("TradeLog.ini", "000", "Ybzt"));
  EXPECT_EQ("2", Ini("TradeLog.ini", "000", "Iczt"));
  EXPECT_EQ("28", Ini("TradeLog.ini", "000", "TradeTypeID"));
}

TEST_F(CardFlow, CardStepFailuresHaveTheirOwnExits) {
  Answer(33, "0~ok~0~f4~f5~f6");
  Answer(25, "0~ok~0~f4~f5~f6");
  FailCard("IC_GetData", 3);
  EXPECT_EQ(ErrorReply(kApplyTag + ":006", -7202), Apply(28, kSerial, "$$1~c~0~ex~p5~p6$$").text);
  FailCard("IC_GetData", 0);
  FailCard("IC_SaveData", 3);
  EXPECT_EQ(ErrorReply(kApplyTag + ":010", -7206), Apply(33, kSerial, "$$1~c~0~ex~p5~p6$$").text);
  for (const Received& c : FrontCalls()) EXPECT_NE(33, c.trade_no);
  // No card read, lock not switched off: the short card data of the
  // request cannot be unlocked.
  FailCard("IC_SaveData", 0);
  EXPECT_EQ(ErrorReply(kApplyTag + ":015", -7207), Apply(25, kSerial, "$$1~c~0~ex~p5~p6$$").text);
}

TEST_F(CardFlow, CardKindThreeEmptiesTheExtraField) {
  Answer(26, "0~ok~0~f4~f5~f6");
  Apply(26, kSerial, "$$1~c~3~ex~p5~p6$$");
  EXPECT_EQ("1~" + Card('A') + "~3~~p5~p6~", FrontCalls().back().request);
}

TEST_F(CardFlow, TwentyTwoWithItsMarkJournalsAndLocksBeforeTheWriteBack) {
  Answer(22, "0~ok~1~f4~" + Card('B') + "%%20~f6~000001xyz");
  auto r = Apply(22, kSerial, "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(0, r.status) << r.text;
  EXPECT_EQ("$$0~ok~1~f4~" + Card('B') + "~000001xyz$$", r.text);
  EXPECT_EQ("22", Ini("TradeLog.ini", "000", "TradeTypeID"));
  EXPECT_EQ("1", Ini("TradeLog.ini", "000", "Iczt"));
  auto writes = CardWrites();
  ASSERT_EQ(2u, writes.size());
  EXPECT_EQ(kLocked, LockField(writes[0]));
  EXPECT_EQ(Card('B'), writes[1].fields["data"]);
}

TEST_F(CardFlow, TwentyTwoWithoutItsMarkLeavesTheJournalOff) {
  Answer(22, "0~ok~1~f4~" + Card('B') + "%%20~f6~000000xyz");
  auto r = Apply(22, kSerial, "$$1~c~0~ex~p5~p6$$");
  EXPECT_EQ(0, r.status) << r.text;
  EXPECT_EQ("", Ini("TradeLog.ini", "000", "TradeTypeID"));
  EXPECT_EQ(1u, CardWrites().size());
}

}  // namespace
}  // namespace corvane::flowtest
