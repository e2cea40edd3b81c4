// The card session against the simulator library, loaded the real way.
#include <gtest/gtest.h>

#include "card/card_library.h"
#include "card/card_sim_fixture.h"
#include "card/ic_card.h"
#include "common/error_codes.h"
#include "common/error_reply.h"
#include "common/last_error.h"
#include "config/trade_cfg.h"

namespace corvane::testing {
namespace {

using Names = std::vector<std::string>;

using CardSession = CardSimTest;

TEST_F(CardSession, TwoReadsInOneTransactionOpenAndVerifyOnce) {
  PutCard(CardData(400));
  std::string first, second;
  ASSERT_EQ(Kvo_ReadICCard("10", &first), 0);
  ASSERT_EQ(Kvo_ReadICCard("10", &second), 0);
  EXPECT_EQ(first, CardData(400));
  EXPECT_EQ(second, first);
  EXPECT_EQ(CardSessionOpen(), 1);
  EXPECT_EQ(CallNames(), (Names{"IC_OpenSession", "IC_PINVerify", "IC_GetData", "IC_GetData"}));
  ASSERT_EQ(Kvo_CloseIC(), 0);
  EXPECT_EQ(CardSessionOpen(), 0);
  EXPECT_EQ(CallNames().back(), "IC_CloseSession");
  EXPECT_TRUE(CardLibraryProblem().empty()) << CardLibraryProblem();
}

TEST_F(CardSession, EveryCallGetsTheOneCardRecord) {
  IccEnv().Port = 7;
  IccEnv().Baud = 115200;
  std::string data;
  ASSERT_EQ(Kvo_ReadICCard("anything", &data), 0);
  std::string text = CardData(400) + "%%20";
  std::string tac;
  ASSERT_EQ(Kvo_WriteICCard("10", &text, &tac), 0);
  ASSERT_EQ(Kvo_CloseIC(), 0);
  for (const Call& c : Calls()) {
    if (c.function == "IC_GetData") {
      EXPECT_EQ(c.fields.at("mode"), "10");  // whatever the mode text says
    } else if (c.function != "IC_SaveData") {
      EXPECT_EQ(c.fields.at("port"), "7") << c.function;
      EXPECT_EQ(c.fields.at("baud"), "115200") << c.function;
      EXPECT_EQ(c.fields.at("codea"), "907153") << c.function;
    }
  }
}

TEST_F(CardSession, FailedPinCheckLeavesTheSessionClosedAndTheNextReadStartsAgain) {
  WriteSettings({}, "1234");  // the card's PIN differs from the record's
  Kvo_SetLastError(0, "");
  std::string data = "untouched";
  EXPECT_EQ(Kvo_ReadICCard("10", &data), -1);
  EXPECT_EQ(LastErrorCode(), kErrICPINVerify);
  EXPECT_EQ(LastErrorMessage(), ErrorMessage(kErrICPINVerify));
  EXPECT_EQ(CardSessionOpen(), 0);
  EXPECT_EQ(data, "untouched");
  // The reader opened for the failed check is released again.
  EXPECT_EQ(CallNames(), (Names{"IC_OpenSession", "IC_PINVerify", "IC_CloseSession"}));

  WriteSettings();
  ClearJournal();
  ASSERT_EQ(Kvo_ReadICCard("10", &data), 0);
  EXPECT_EQ(CallNames(), (Names{"IC_OpenSession", "IC_PINVerify", "IC_GetData"}));
  EXPECT_EQ(CardSessionOpen(), 1);
}

TEST_F(CardSession, RefusedOpenFailsWith8001AndNoFurtherCall) {
  WriteSettings({{"IC_OpenSession", 9}});
  std::string data;
  EXPECT_EQ(Kvo_ReadICCard("10", &data), -1);
  EXPECT_EQ(LastErrorCode(), kErrICOpenSession);
  EXPECT_EQ(LastErrorMessage(), ErrorMessage(kErrICOpenSession));
  EXPECT_EQ(CallNames(), (Names{"IC_OpenSession"}));
  EXPECT_EQ(CardSessionOpen(), 0);
}

TEST_F(CardSession, ReadFailureGivesTheLibraryResultAndKeepsTheSession) {
  WriteSettings({{"IC_GetData", 6}});
  Kvo_SetLastError(-1, "before");
  std::string data;
  EXPECT_EQ(Kvo_ReadICCard("10", &data), 6);
  EXPECT_EQ(LastErrorCode(), -1);  // no error of its own
  EXPECT_EQ(CardSessionOpen(), 1);
}

TEST_F(CardSession, FailedCloseKeepsTheSessionForTheNextTransactionWithoutNewPinCheck) {
  std::string data;
  ASSERT_EQ(Kvo_ReadICCard("10", &data), 0);
  WriteSettings({{"IC_CloseSession", 1}});
  EXPECT_EQ(Kvo_CloseIC(), -1);
  EXPECT_EQ(LastErrorCode(), kErrICCloseSession);
  EXPECT_EQ(LastErrorMessage(), ErrorMessage(kErrICCloseSession));
  EXPECT_EQ(CardSessionOpen(), 1);
  WriteSettings();
  ClearJournal();
  ASSERT_EQ(Kvo_ReadICCard("10", &data), 0);
  EXPECT_EQ(CallNames(), (Names{"IC_GetData"}));
}

TEST_F(CardSession, WithoutSessionCloseAndErrorReplyCallNothing) {
  EXPECT_EQ(Kvo_CloseIC(), 0);
  std::string reply;
  Kvo_MakeErrorReply("tag", " detail ", &reply);
  EXPECT_EQ(reply, "$$detail$$");
  EXPECT_TRUE(Calls().empty());
}

// The error reply is composed before the session closes: a failing close
// leaves the session and its own code, and the reply as it was.
TEST_F(CardSession, ErrorReplyClosesTheSession) {
  std::string data, reply;
  ASSERT_EQ(Kvo_ReadICCard("10", &data), 0);
  Kvo_SetLastError(-7202, "x");
  Kvo_MakeErrorReply("tag", "", &reply);
  EXPECT_EQ(reply, "$$-1~1050%%tag%%-7202%%错误原因:x$$");
  EXPECT_EQ(CardSessionOpen(), 0);
  EXPECT_EQ(CallNames().back(), "IC_CloseSession");
  ASSERT_EQ(Kvo_ReadICCard("10", &data), 0);
  WriteSettings({{"IC_CloseSession", 1}});
  Kvo_SetLastError(-7203, "y");
  Kvo_MakeErrorReply("tag", "", &reply);
  EXPECT_EQ(reply, "$$-1~1050%%tag%%-7203%%错误原因:y$$");
  EXPECT_EQ(LastErrorCode(), kErrICCloseSession);
  EXPECT_EQ(CardSessionOpen(), 1);
}

// A reader driver that crashes: the fault ends the card operation, not the
// host's process.
using CardFault = CardSimTest;

TEST_F(CardFault, FaultWhileOpeningGives7036AndTheNextOpenStartsAgain) {
  for (const char* function : {"IC_OpenSession", "IC_PINVerify"}) {
    WriteFaultSettings(function);
    ClearJournal();
    Kvo_SetLastError(0, "");
    std::string data = "untouched";
    EXPECT_EQ(Kvo_ReadICCard("10", &data), -1) << function;
    EXPECT_EQ(LastErrorCode(), kErrOpenIC) << function;
    EXPECT_EQ(LastErrorMessage(), "执行Kvo_OpenIC函数发生错误，请联系开发人员！");
    EXPECT_EQ(data, "untouched");
    EXPECT_EQ(CardSessionOpen(), 0);
    ASSERT_FALSE(Calls().empty());
    EXPECT_EQ(Calls().back().function, function);
    EXPECT_EQ(Calls().back().fields["result"], "fault");
  }
  WriteSettings();
  ClearJournal();
  std::string data;
  ASSERT_EQ(Kvo_ReadICCard("10", &data), 0);
  EXPECT_EQ(CallNames(), (Names{"IC_OpenSession", "IC_PINVerify", "IC_GetData"}));
}

TEST_F(CardFault, FaultWhileReadingOrWritingFailsTheOperation) {
  std::string data;
  ASSERT_EQ(Kvo_ReadICCard("10", &data), 0);
  WriteFaultSettings("IC_GetData");
  data = "untouched";
  EXPECT_EQ(Kvo_ReadICCard("10", &data), -1);
  EXPECT_EQ(data, "untouched");

  WriteFaultSettings("IC_SaveData");
  std::string text = CardData(400) + "%%20";
  const std::string before = text;
  std::string tac = "unset";
  EXPECT_EQ(Kvo_WriteICCard("10", &text, &tac), -1);
  EXPECT_EQ(tac, "unset");
  EXPECT_EQ(text, before);
  EXPECT_EQ(CardSessionOpen(), 1);
}

TEST_F(CardFault, FaultWhileClosingGives8002AndKeepsTheSession) {
  std::string data;
  ASSERT_EQ(Kvo_ReadICCard("10", &data), 0);
  WriteFaultSettings("IC_CloseSession");
  EXPECT_EQ(Kvo_CloseIC(), -1);
  EXPECT_EQ(LastErrorCode(), kErrICCloseSession);
  EXPECT_EQ(CardSessionOpen(), 1);
  WriteSettings();
  EXPECT_EQ(Kvo_CloseIC(), 0);
  EXPECT_EQ(CardSessionOpen(), 0);
}

}  // namespace
}  // namespace corvane::testing
