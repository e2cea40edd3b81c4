// Writing, locking, unlocking and the reply write against the simulator.
#include <gtest/gtest.h>

#include "card/card_sim_fixture.h"
#include "card/ic_card.h"
#include "common/last_error.h"
#include "config/trade_cfg.h"

namespace corvane::testing {
namespace {

using Names = std::vector<std::string>;

class CardWrite : public CardSimTest {
 protected:
  // The single IC_SaveData call of the journal.
  Call OnlySave() {
    Call found;
    int n = 0;
    for (const Call& c : Calls()) {
      if (c.function == "IC_SaveData") {
        found = c;
        ++n;
      }
    }
    EXPECT_EQ(n, 1);
    return found;
  }
};

TEST_F(CardWrite, WriteSplitsAtTheMarkAndHandsBackTheData) {
  std::string text = "  " + CardData(400) + "%%  20 \r\n";
  std::string tac = "unset";
  ASSERT_EQ(Kvo_WriteICCard("10", &text, &tac), 0);
  EXPECT_EQ(text, CardData(400));
  EXPECT_EQ(tac, "0");
  Call save = OnlySave();
  EXPECT_EQ(save.fields["data"], CardData(400));
  EXPECT_EQ(save.fields["code"], "20");
  EXPECT_EQ(save.fields["mode"], "10");
  EXPECT_EQ(CardOnFile(), CardData(400));
  // A write opens the session when none is open.
  EXPECT_EQ(CallNames(), (Names{"IC_OpenSession", "IC_PINVerify", "IC_SaveData"}));
}

TEST_F(CardWrite, ModeOtherThanTenWritesWithZero) {
  std::string text = "abc%%20";
  std::string tac;
  ASSERT_EQ(Kvo_WriteICCard("11", &text, &tac), 0);
  EXPECT_EQ(OnlySave().fields["mode"], "0");
}

TEST_F(CardWrite, PiecesAfterTheSecondAreDropped) {
  std::string text = "abc%%20%%junk";
  std::string tac;
  ASSERT_EQ(Kvo_WriteICCard("10", &text, &tac), 0);
  EXPECT_EQ(OnlySave().fields["code"], "20");
  EXPECT_EQ(text, "abc");
}

TEST_F(CardWrite, WriteTextWithoutMarkFailsBeforeTheSessionOpens) {
  for (std::string text : {CardData(400), std::string(), std::string("   ")}) {
    std::string tac = "unset";
    Kvo_SetLastError(-1, "before");
    EXPECT_EQ(Kvo_WriteICCard("10", &text, &tac), -1);
    EXPECT_EQ(tac, "unset");
    EXPECT_EQ(LastErrorCode(), -1);
  }
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(CardSessionOpen(), 0);
}

TEST_F(CardWrite, FailedSaveGivesTheLibraryResultAndStillHandsBackTheData) {
  WriteSettings({{"IC_SaveData", 7}});
  std::string text = "abc%%20";
  std::string tac;
  EXPECT_EQ(Kvo_WriteICCard("10", &text, &tac), 7);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(tac, "0");
}

TEST_F(CardWrite, GbkCardDataReachesTheCardByteForByte) {
  std::string data = CardData(400);
  data.replace(10, 8, "张三李四");  // GBK bytes at run time
  std::string text = data + "%%20";
  std::string tac;
  ASSERT_EQ(Kvo_WriteICCard("10", &text, &tac), 0);
  EXPECT_EQ(CardOnFile(), data);
  std::string back;
  ASSERT_EQ(Kvo_ReadICCard("10", &back), 0);
  EXPECT_EQ(back, data);
}

TEST_F(CardWrite, LockPutsTheSerialIntoAnUnlockedField) {
  ASSERT_EQ(Kvo_LockICCard(CardData(400), 12345.0), 0);
  Call save = OnlySave();
  EXPECT_EQ(save.fields["data"], CardData(400, "00000000012345"));
  EXPECT_EQ(save.fields["code"], "20");
  EXPECT_EQ(save.fields["mode"], "10");
}

TEST_F(CardWrite, LockOfACardLockedByAnotherSerialWritesItUnchanged) {
  const std::string locked = CardData(400, "20240101000042");
  ASSERT_EQ(Kvo_LockICCard(locked, 12345.0), 0);
  Call save = OnlySave();
  EXPECT_EQ(save.fields["data"], locked);
  EXPECT_EQ(save.fields["code"], "20");
}

TEST_F(CardWrite, LockWithTheLargestSerialFillsTheField) {
  ASSERT_EQ(Kvo_LockICCard(CardData(368), 99999999999999.0), 0);
  EXPECT_EQ(OnlySave().fields["data"], CardData(368, "99999999999999"));
}

TEST_F(CardWrite, LockWithASerialThatDoesNotFitFailsWithoutTouchingTheCard) {
  for (double serial : {100000000000000.0, 123456789012345.0, -1.0, 1e300}) {
    EXPECT_EQ(Kvo_LockICCard(CardData(400), serial), -1) << serial;
  }
  EXPECT_TRUE(Calls().empty());
}

TEST_F(CardWrite, UnlockZeroesTheLockField) {
  ASSERT_EQ(Kvo_UnlockICCard(CardData(400, "20240101000042")), 0);
  Call save = OnlySave();
  EXPECT_EQ(save.fields["data"], CardData(400));
  EXPECT_EQ(save.fields["code"], "20");
}

TEST_F(CardWrite, LockingSwitchedOffSucceedsWithoutACall) {
  UserTradeParam().Flags[3] = "0";
  EXPECT_EQ(Kvo_LockICCard(CardData(400), 1.0), 0);
  EXPECT_EQ(Kvo_UnlockICCard(CardData(400)), 0);
  EXPECT_EQ(Kvo_LockICCard("short", 1.0), 0);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(CardSessionOpen(), 0);
}

TEST_F(CardWrite, EmptyFlagsDoNotSwitchLockingOff) {
  for (std::string& f : UserTradeParam().Flags) f.clear();
  ASSERT_EQ(Kvo_LockICCard(CardData(400), 1.0), 0);
  EXPECT_EQ(OnlySave().fields["data"], CardData(400, "00000000000001"));
}

TEST_F(CardWrite, ShortCardDataFailsWithoutACall) {
  const std::string data = CardData(367);
  std::string reply = data + "%%20";
  reply.resize(367);
  const std::string reply_before = reply;
  std::string tac = "unset";
  EXPECT_EQ(Kvo_LockICCard(data, 1.0), -1);
  EXPECT_EQ(Kvo_UnlockICCard(data), -1);
  EXPECT_EQ(Kvo_WriteReplyCard("10", &reply, &tac), -1);
  EXPECT_EQ(reply, reply_before);
  EXPECT_EQ(tac, "unset");
  EXPECT_TRUE(Calls().empty());
}

TEST_F(CardWrite, ReplyWriteUnlocksTheDataAndWritesIt) {
  std::string text = CardData(400, "20240101000042") + "%%31";
  std::string tac;
  ASSERT_EQ(Kvo_WriteReplyCard("10", &text, &tac), 0);
  EXPECT_EQ(text, CardData(400));
  EXPECT_EQ(tac, "0");
  Call save = OnlySave();
  EXPECT_EQ(save.fields["data"], CardData(400));
  EXPECT_EQ(save.fields["code"], "31");
}

TEST_F(CardWrite, ReplyWriteZeroesTheLockFieldEvenWhenTheCardLibraryFails) {
  WriteSettings({{"IC_OpenSession", 1}});
  std::string text = CardData(400, "20240101000042") + "%%31";
  std::string tac;
  EXPECT_EQ(Kvo_WriteReplyCard("10", &text, &tac), -1);
  EXPECT_EQ(text, CardData(400) + "%%31");

  WriteSettings({{"IC_SaveData", 5}});
  text = CardData(400, "20240101000042") + "%%31";
  EXPECT_EQ(Kvo_WriteReplyCard("10", &text, &tac), 5);
  EXPECT_EQ(text, CardData(400));
}

TEST_F(CardWrite, ReplyWriteWithoutMarkLeavesZeroedTextAndCallsNothing) {
  std::string text = CardData(400, "20240101000042");
  std::string tac;
  EXPECT_EQ(Kvo_WriteReplyCard("10", &text, &tac), -1);
  EXPECT_EQ(text, CardData(400));
  EXPECT_TRUE(Calls().empty());
}

}  // namespace
}  // namespace corvane::testing
