// A workstation without the card library: card operations fail like a
// refused open, the reason is kept, and nothing crashes.
#include <gtest/gtest.h>

#include "card/ic_card.h"
#include "common/error_codes.h"
#include "common/error_reply.h"
#include "common/last_error.h"
#include "config/trade_cfg.h"
#include "trade/library_start.h"

namespace corvane::testing {
namespace {

TEST(CardWithoutLibrary, OperationsFailWith8001AndTheReasonIsKept) {
  Kvo_StartLibrary();
  for (std::string& f : UserTradeParam().Flags) f = "1";
  std::string data;
  EXPECT_EQ(Kvo_ReadICCard("10", &data), -1);
  EXPECT_EQ(LastErrorCode(), kErrICOpenSession);
  EXPECT_EQ(LastErrorMessage(), ErrorMessage(kErrICOpenSession));
  EXPECT_NE(CardLibraryProblem().find("ICCInter01046"), std::string::npos)
      << CardLibraryProblem();

  std::string text = std::string(400, '0') + "%%20";
  std::string tac;
  Kvo_SetLastError(0, "");
  EXPECT_EQ(Kvo_WriteICCard("10", &text, &tac), -1);
  EXPECT_EQ(LastErrorCode(), kErrICOpenSession);
  EXPECT_EQ(Kvo_LockICCard(std::string(400, '0'), 1.0), -1);
  EXPECT_EQ(Kvo_UnlockICCard(std::string(400, '0')), -1);
  EXPECT_EQ(CardSessionOpen(), 0);
  EXPECT_EQ(Kvo_CloseIC(), 0);

  std::string reply;
  Kvo_MakeErrorReply("tag", "", &reply);
  EXPECT_EQ(LastErrorCode(), kErrICOpenSession);
}

}  // namespace
}  // namespace corvane::testing
