// Writing, locking, unlocking and the reply write against the simulator.
#include <gtest/gtest.h>

#include "card/card_sim_fixture.h"
#include "card/ic_card.h"
#include "common/last_error.h"
#include "config/trade_cfg.h"

namespace corvane::testing {
namespace {

using Strings = std::vector<std::string>;

class CardWrite : public CardSimTest {
 protected:
  // Every IC_SaveData call of the journal as "mode code data".
  Strings Saves() {
    Strings saves;
    for (Call& c : Calls())
      if (c.function == "IC_SaveData")
        saves.push_back(c.fields["mode"] + " " + c.fields["code"] + " " + c.fields["data"]);
    return saves;
  }
};

// The text is split at its first two marks into data and code (blanks
// trimmed, the rest dropped) and the data handed back; mode 10 is passed
// on, any other writes with 0.  A write opens the session when none is.
TEST_F(CardWrite, WriteSplitsAtTheMarkAndHandsBackTheData) {
  struct {
    const char* mode;
    std::string text, data, save;
  } cases[] = {{"10", "  " + CardData(400) + "%%  20 \r\n", CardData(400), "10 20 " + CardData(400)},
               {"11", "abc%%20", "abc", "0 20 abc"},
               {"10", "abc%%21%%junk", "abc", "10 21 abc"}};
  Strings saves;
  for (const auto& c : cases) {
    std::string text = c.text, tac = "unset";
    ASSERT_EQ(Kvo_WriteICCard(c.mode, &text, &tac), 0) << c.text;
    EXPECT_EQ(c.data, text);
    EXPECT_EQ("0", tac);
    saves.push_back(c.save);
  }
  EXPECT_EQ(saves, Saves());
  EXPECT_EQ("abc", CardOnFile());
  EXPECT_EQ((Strings{"IC_OpenSession", "IC_PINVerify", "IC_SaveData", "IC_SaveData", "IC_SaveData"}),
            CallNames());
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

// Lock puts the serial into an unlocked field only (a card locked by
// another serial is written unchanged); unlock zeroes the field.
TEST_F(CardWrite, LockAndUnlockWriteTheLockFieldWithCodeTwenty) {
  ASSERT_EQ(Kvo_LockICCard(CardData(400), 12345.0), 0);
  ASSERT_EQ(Kvo_LockICCard(CardData(400, "20240101000042"), 12345.0), 0);
  ASSERT_EQ(Kvo_LockICCard(CardData(368), 99999999999999.0), 0);
  ASSERT_EQ(Kvo_UnlockICCard(CardData(400, "20240101000042")), 0);
  EXPECT_EQ((Strings{"10 20 " + CardData(400, "00000000012345"),
                     "10 20 " + CardData(400, "20240101000042"),
                     "10 20 " + CardData(368, "99999999999999"), "10 20 " + CardData(400)}),
            Saves());
}

TEST_F(CardWrite, LockWithASerialThatDoesNotFitFailsWithoutTouchingTheCard) {
  for (double serial : {100000000000000.0, 123456789012345.0, -1.0, 1e300}) {
    EXPECT_EQ(Kvo_LockICCard(CardData(400), serial), -1) << serial;
  }
  EXPECT_TRUE(Calls().empty());
}

// Locking is off only when flag 4 says "0"; empty flags do not switch it off.
TEST_F(CardWrite, LockingSwitchedOffSucceedsWithoutACall) {
  UserTradeParam().Flags[3] = "0";
  EXPECT_EQ(Kvo_LockICCard(CardData(400), 1.0), 0);
  EXPECT_EQ(Kvo_UnlockICCard(CardData(400)), 0);
  EXPECT_EQ(Kvo_LockICCard("short", 1.0), 0);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(CardSessionOpen(), 0);
  for (std::string& f : UserTradeParam().Flags) f.clear();
  ASSERT_EQ(Kvo_LockICCard(CardData(400), 1.0), 0);
  EXPECT_EQ(Strings{"10 20 " + CardData(400, "00000000000001")}, Saves());
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

// The reply's card data is written unlocked, with the reply's code; the
// lock field is zeroed also when the card library fails or the mark is
// missing (then nothing is called).
TEST_F(CardWrite, ReplyWriteUnlocksTheDataAndWritesIt) {
  std::string text = CardData(400, "20240101000042") + "%%31";
  std::string tac;
  ASSERT_EQ(Kvo_WriteReplyCard("10", &text, &tac), 0);
  EXPECT_EQ(text, CardData(400));
  EXPECT_EQ(tac, "0");
  EXPECT_EQ(Strings{"10 31 " + CardData(400)}, Saves());
  ClearJournal();
  text = CardData(400, "20240101000042");
  EXPECT_EQ(Kvo_WriteReplyCard("10", &text, &tac), -1);
  EXPECT_EQ(text, CardData(400));
  EXPECT_TRUE(Calls().empty());
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

}  // namespace
}  // namespace corvane::testing
