// The IC card around a transaction: read, lock on the way out, unlock or
// write-back on the way back, the rewrite from the journal, and the
// journal states when a step fails.
#include "flow/flow_fixture.h"

namespace corvane::flowtest {
namespace {

using Strings = std::vector<std::string>;
const std::string kLocked = "00000000012345";
const std::string kUnlocked = "00000000000000";

class CardFlow : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    // 33: read and lock;  28: read only;  22: read, journal off, lock on;
    // 26: card kind handling;  25: no read, lock neither forced nor off.
    // 40 has no line.
    Answer(21, InitReply({ParamLine(33, 6, Flags("0101001")), ParamLine(28, 6, Flags("0100001")),
                          ParamLine(22, 6, Flags("0102000")), ParamLine(26, 6, Flags("0100101")),
                          ParamLine(25, 6, Flags("0002001"))}));
    Answer(49, "0~");
    PutCard(Card('A'));
  }
};

TEST_F(CardFlow, CardIsLockedOnTheWayOutAndUnlockedOnTheWayBack) {
  Answer(33, "0~ok~0~f4~f5~f6");
  auto r = Apply(33, "12345", kCardRequest);
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5$$"), r);
  EXPECT_EQ((Strings{kLocked, kUnlocked}), WrittenLocks());
  EXPECT_EQ("20", CardWrites()[0].fields["code"]);
  EXPECT_EQ(Card('A'), CardOnFile());
  EXPECT_EQ(Strings{"33:1~" + Card('A') + "~0~ex~p5~p6~"}, Sent());
  std::string calls;  // the card session closed at the end
  for (const CardCall& c : CardCalls()) calls += c.function + " ";
  EXPECT_EQ("IC_OpenSession IC_PINVerify IC_GetData IC_SaveData IC_SaveData IC_CloseSession ", calls);
}

TEST_F(CardFlow, ReplyCardDataIsWrittenBackAndJournalled) {
  Answer(33, "0~ok~1~f4~" + Card('B', "00000000000099") + "%%20~f6~r7");
  auto r = Apply(33, "12345", kCardRequest);
  EXPECT_EQ(Ok("$$0~ok~1~f4~" + Card('B') + "~r7$$"), r);
  EXPECT_EQ((Strings{kLocked, kUnlocked}), WrittenLocks());  // lock, then the reply's data
  EXPECT_EQ(Card('B'), CardWrites()[1].fields["data"]);
  EXPECT_EQ(Card('B'), CardOnFile());
  EXPECT_EQ("33|12345|1|1", Pending());
  EXPECT_EQ("0", Ini("TradeLog.ini", "000", "TAC"));
}

// A refused call unlocks the card at once and again on the way back; a
// failed one unlocks it once and journals the remote state.
TEST_F(CardFlow, RefusedOrFailedCallUnlocksTheCard) {
  Answer(33, Strings{"1~refused~0~f4~f5~f6", "-1~no patient"});
  auto r = Apply(33, "12345", kCardRequest);
  EXPECT_EQ(Ok("$$1~refused~0~f4~f5$$"), r);
  EXPECT_EQ((Strings{kLocked, kUnlocked, kUnlocked}), WrittenLocks());
  r = Apply(33, "12345", kCardRequest);
  EXPECT_EQ(Failed("$$-1~no patient$$"), r);
  EXPECT_EQ((Strings{kLocked, kUnlocked, kUnlocked, kLocked, kUnlocked}), WrittenLocks());
  EXPECT_EQ(Card('A'), CardOnFile());
  EXPECT_EQ("33|12345|2|", Pending());
}

TEST_F(CardFlow, FailedWriteBackLeavesTheCardStateForTheReport) {
  Answer(28, "0~ok~1~f4~" + Card('B') + "%%20~f6");
  FailCard("IC_SaveData", 4);
  EXPECT_EQ(Failed(ApplyError(":014", -7203)), Apply(28, "12345", kCardRequest));
  EXPECT_EQ("28|12345|1|2", Pending());
}

TEST_F(CardFlow, CardStepFailuresHaveTheirOwnExits) {
  Answer(33, "0~ok~0~f4~f5~f6");
  Answer(25, "0~ok~0~f4~f5~f6");
  FailCard("IC_GetData", 3);
  EXPECT_EQ(ApplyError(":006", -7202), Apply(28, "12345", kCardRequest).text);
  FailCard("IC_GetData", 0);
  FailCard("IC_SaveData", 3);
  EXPECT_EQ(ApplyError(":010", -7206), Apply(33, "12345", kCardRequest).text);
  // No card read, lock not switched off: the short card data of the
  // request cannot be unlocked.
  FailCard("IC_SaveData", 0);
  EXPECT_EQ(ApplyError(":015", -7207), Apply(25, "12345", kCardRequest).text);
  EXPECT_EQ(Strings{"25:1~c~0~ex~p5~p6~"}, Sent());
}

TEST_F(CardFlow, CardKindThreeEmptiesTheExtraField) {
  Answer(26, "0~ok~0~f4~f5~f6");
  Apply(26, "12345", "$$1~c~3~ex~p5~p6$$");
  EXPECT_EQ(Strings{"26:1~" + Card('A') + "~3~~p5~p6~"}, Sent());
}

// Character 6 of reply field 7 set to "1" switches the journal of 22 on
// and locks the card again before the write-back.
TEST_F(CardFlow, TwentyTwoWithItsMarkJournalsAndLocksBeforeTheWriteBack) {
  const char* marks[] = {"000000xyz", "000001xyz"};
  Answer(22, Strings{"0~ok~1~f4~" + Card('B') + "%%20~f6~" + marks[0],
                     "0~ok~1~f4~" + Card('B') + "%%20~f6~" + marks[1]});
  for (const std::string mark : marks) {
    PutCard(Card('A'));
    EXPECT_EQ(Ok("$$0~ok~1~f4~" + Card('B') + "~" + mark + "$$"), Apply(22, "12345", kCardRequest));
  }
  EXPECT_EQ("22|12345||1", Pending());  // the journal was off at the call
  auto writes = CardWrites();
  ASSERT_EQ(3u, writes.size());  // without the mark the write-back only
  EXPECT_EQ(Card('B'), writes[0].fields["data"]);
  EXPECT_EQ(kLocked, LockField(writes[1]));
  EXPECT_EQ(Card('B'), writes[2].fields["data"]);
}

// A transaction without a line runs with the flags of the last complete
// line: 33's card read, and its lock with 40's serial.
TEST_F(CardFlow, TransactionWithoutALineRunsWithTheFlagsOfTheLastCompleteLine) {
  Answer(33, "0~ok~0~f4~f5~f6");
  Answer(40, "0~ok~0~f4~f5~f6");
  // Five fields only: without a line there is no count check.
  auto r = Session({{"apply", "33", "12345", kCardRequest}, {"apply", "40", "12345", "$$1~c~0~ex~p5$$"}});
  EXPECT_EQ(Ok("$$0~ok~0~f4~f5$$"), r[1]);
  EXPECT_EQ("1~" + Card('A') + "~0~ex~p5~", CallsOf(40).at(0).request);
  EXPECT_EQ((Strings{kLocked, kUnlocked, kLocked, kUnlocked}), WrittenLocks());
}

// A failed or refused download transaction unlocks nothing.
TEST_F(CardFlow, DownloadTransactionLeavesTheCardOfAnEarlierTransactionAlone) {
  Answer(33, "0~ok~0~f4~f5~f6");
  Answer(250, Strings{"-1~refused", "1~later"});
  auto r = Session({{"apply", "33", "12345", kCardRequest}, {"apply", "250", "1", "$$a$$"},
                    {"apply", "250", "2", "$$a$$"}});
  EXPECT_EQ(Failed("$$-1~refused$$"), r[1]);
  EXPECT_EQ(Ok("$$1~later~~~~$$"), r[2]);
  EXPECT_EQ((Strings{kLocked, kUnlocked}), WrittenLocks());
}

// 27 rewrites the card from the journalled reply of the same serial, lock
// switched off.
class CardRewriteFlow : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    Answer(21, InitReply({ParamLine(27, 6, Flags("0110001"))}));
    Answer(27, "0~ok~0~f4~f5~f6");
    SetIni("TradeLog.ini", "27", "TradeId", "12345");
    SetIni("TradeLog.ini", "27", "OutMsg", "0~ok~0~f4~" + Card('A') + "%%" + Card('B') + "%%20~f6");
    PutCard(Card('A'));
  }
};

TEST_F(CardRewriteFlow, SameSerialRewritesTheCardBeforeTheCall) {
  EXPECT_EQ(0, Apply(27, "12345", kCardRequest).status);
  EXPECT_EQ(Card('B'), CardOnFile());
  EXPECT_EQ(Strings{"27:1~" + Card('B') + "~0~ex~p5~p6~"}, Sent());
}

TEST_F(CardRewriteFlow, AnotherSerialOrAnotherCardWritesNothing) {
  auto r = Apply(27, "12346", kCardRequest);
  EXPECT_EQ(0u, r.text.find("$$-1~1050%%" + kApplyTag + ":008%%")) << r.text;
  PutCard(Card('C'));
  r = Apply(27, "12345", kCardRequest);
  EXPECT_EQ(0u, r.text.find("$$-1~1050%%" + kApplyTag + ":008%%")) << r.text;
  EXPECT_TRUE(CardWrites().empty());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(CardRewriteFlow, FailedRewriteIsReported) {
  FailCard("IC_SaveData", 7);
  EXPECT_EQ(ApplyError(":009", -7203), Apply(27, "12345", kCardRequest).text);
}

}  // namespace
}  // namespace corvane::flowtest
