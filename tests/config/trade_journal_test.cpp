// The transaction journal: pending section, completed exchanges, the
// leftover report, the serial check and the card rewrite lookup.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/last_error.h"
#include "config/trade_cfg.h"
#include "config/trade_journal.h"
#include "support/temp_dir.h"

namespace corvane {
namespace {

struct Call {
  int32_t trade_no;
  std::string packet;
  double serial;
};

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& f : UserTradeParam().Flags) f.clear();
  }
  void SetFlag(int n, const char* value) { UserTradeParam().Flags[n - 1] = value; }

  std::string Get(const std::string& section, const std::string& key) {
    std::string value = "<unread>";
    EXPECT_EQ(0, Kvo_ReadIniFSection(kTradeLogFile, section, key, &value, dir.path()));
    return value;
  }
  void Put(const std::string& section, const std::string& key, const std::string& value) {
    Kvo_WriteIniFSection(kTradeLogFile, section, key, value, dir.path());
  }
  // The pending section, every key in order.
  std::string Pending() {
    std::string all;
    for (const char* key : {"TradeTypeID", "TradeId", "TradeTime", "Ybzt", "Iczt", "Hiszt", "TAC"})
      all += std::string(key) + "=" + Get("000", key) + " ";
    return all;
  }
  void Journal(int mode, const std::string& no, const std::string& serial, const std::string& tac = "",
               const std::string& host = "", const std::string& card = "", const std::string& remote = "",
               const std::string& time = "") {
    Kvo_WriteTradeJournal(mode, no, serial, tac, host, card, remote, time, dir.path());
  }
  void Start(const std::string& no, const std::string& serial) {
    Journal(1, no, serial, "", "", "", "", "2024-01-02 03:04:05");
  }
  // Reports what is pending through a remote call that answers `answer`
  // with `result`, recording the calls.
  int Report(int32_t no, const std::string& request, int result, const std::string& answer) {
    return Kvo_ReportLeftoverTrade(no, request, &reply, [=](int32_t n, const std::string& packet,
                                                           std::string* r, double serial) {
      calls.push_back({n, packet, serial});
      *r = answer;
      return result;
    }, dir.path());
  }
  int Save(int32_t no, const std::string& in, const std::string& out, double serial) {
    return Kvo_SaveTradeEntry(no, in, out, serial, kTradeLogFile, dir.path());
  }

  corvane::testing::TempDir dir;
  std::vector<Call> calls;
  std::string reply;
};

TEST_F(JournalTest, PendingSectionMovesThroughItsStatesEachModeWritingItsOwnKeys) {
  Start("27", "12345");
  EXPECT_EQ(Pending(), "TradeTypeID=27 TradeId=12345 TradeTime=2024-01-02 03:04:05 Ybzt= Iczt= Hiszt= TAC= ");
  Journal(2, "27", "12345", "", "", "", "1");
  Journal(3, "27", "12345", "0", "", "2");
  Journal(4, "27", "12345", "", "3");
  Journal(7, "27", "99", "x", "x", "x", "x", "x");
  EXPECT_EQ(Pending(), "TradeTypeID=27 TradeId=12345 TradeTime=2024-01-02 03:04:05 Ybzt=1 Iczt=2 Hiszt=3 TAC=0 ");
  Journal(3, "49", "0", "0", "", "1");  // transaction 49 empties the section whatever the mode
  EXPECT_EQ(Pending(), "TradeTypeID= TradeId= TradeTime= Ybzt= Iczt= Hiszt= TAC= ");
}

TEST_F(JournalTest, FlagSevenZeroLeavesThePendingSectionAlone) {
  Start("27", "1");
  SetFlag(7, "0");
  Start("31", "2");
  Journal(2, "31", "2", "", "", "", "2");
  EXPECT_EQ(Pending(), "TradeTypeID=27 TradeId=1 TradeTime=2024-01-02 03:04:05 Ybzt= Iczt= Hiszt= TAC= ");
}

TEST_F(JournalTest, SavedEntryKeepsRequestReplyAndUseTimeRules) {
  SetFlag(14, "1");
  ASSERT_EQ(0, Save(23, "1~c~0~~27~", "0~ok~0~~~00000000012345", 12345));
  EXPECT_EQ("12345", Get("23", "TradeId"));
  EXPECT_EQ("", Get("23", "UseTime"));  // trade 23 never carries a use time
  EXPECT_EQ("1~c~0~~27~", Get("23", "InMsg"));
  EXPECT_EQ("0~ok~0~~~00000000012345", Get("23", "OutMsg"));
  ASSERT_EQ(0, Save(27, "in", "out", 7));
  EXPECT_NE("", Get("27", "UseTime"));
  SetFlag(14, "0");
  Put("31", "UseTime", "earlier");
  ASSERT_EQ(0, Save(31, "in", "out", 1234567890123.0));
  EXPECT_EQ("earlier", Get("31", "UseTime"));
  EXPECT_EQ("1234567890123", Get("31", "TradeId"));
  // An unwritable folder is a failure, not an exception.
  EXPECT_EQ(-1, Kvo_SaveTradeEntry(27, "in", "out", 1, kTradeLogFile, dir.file("no-such-folder")));
}

TEST_F(JournalTest, NothingPendingSendsNoReport) {
  EXPECT_EQ(0, Report(27, "a~b", 0, "0~"));
  Put("000", "Ybzt", "1");  // a download transaction leaves only Ybzt
  EXPECT_EQ(0, Report(27, "a~b", 0, "0~"));
  EXPECT_TRUE(calls.empty());
}

TEST_F(JournalTest, PendingTransactionIsReportedAsFortyNineAndCleared) {
  Start("27", "12345");
  Journal(2, "27", "12345", "", "", "", "1");
  Journal(3, "27", "12345", "0", "", "1");
  EXPECT_EQ(1, Report(31, "x", 1, "1~later"));
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ(49, calls[0].trade_no);
  EXPECT_EQ(0.0, calls[0].serial);
  EXPECT_EQ("~~~~27~12345~~~1~1~0~", calls[0].packet);
  EXPECT_EQ("1~later", reply);
  EXPECT_EQ(Pending(), "TradeTypeID= TradeId= TradeTime= Ybzt= Iczt= Hiszt= TAC= ");
}

// A step that fails later without a code of its own (no card data to
// rewrite) shows the error recorded in advance by the report or the
// pre-check; the journal writes in between must not replace it.
TEST_F(JournalTest, JournalWritesLeaveTheLastErrorAlone) {
  Kvo_SetLastError(-7032, "recorded in advance");
  Start("27", "12345");
  Journal(2, "27", "12345", "", "", "", "1");
  Journal(3, "27", "12345", "0", "", "1");
  EXPECT_EQ(-7032, LastErrorCode());
  EXPECT_EQ(0, Report(31, "x", 0, "0~"));
  EXPECT_EQ("", Get("000", "TradeTypeID"));
  Start("31", "12346");
  EXPECT_EQ(-7107, LastErrorCode());
  EXPECT_EQ("执行历史遗留交易返回未成功！", LastErrorMessage());
}

TEST_F(JournalTest, WithFlagSevenZeroAnEarlierPendingTransactionIsStillReportedAndCleared) {
  Start("27", "12345");
  SetFlag(7, "0");
  EXPECT_EQ(0, Report(31, "x", 0, "0~"));
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("~~~~27~12345~~~~~~", calls[0].packet);
  EXPECT_EQ("", Get("000", "TradeTypeID"));
}

TEST_F(JournalTest, FailedReportKeepsThePendingSectionAndRecordsItsError) {
  Start("27", "12345");
  Journal(2, "27", "12345", "", "", "", "2");
  EXPECT_EQ(-1, Report(31, "x", -1, ""));
  EXPECT_EQ(-7107, LastErrorCode());
  EXPECT_EQ(Pending(), "TradeTypeID=27 TradeId=12345 TradeTime=2024-01-02 03:04:05 Ybzt=2 Iczt= Hiszt= TAC= ");
}

TEST_F(JournalTest, RequestedFortyNineAlwaysReportsWithItsOwnRequest) {
  EXPECT_EQ(0, Report(49, "1~c~0~~z", 0, "0~r"));
  Start("27", "5");
  Journal(2, "27", "5", "", "", "", "1");
  Report(49, "q", 0, "0~r");
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ("1~c~0~~z~~~~", calls[0].packet);
  EXPECT_EQ("q~1~~~", calls[1].packet);
}

// The serial issued for a transaction by the journalled transaction 23 is
// valid once: not for another transaction or serial, not unpadded, not
// after its use, not without its fields, not without a journal.
TEST_F(JournalTest, SerialCheckAgainstTransactionTwentyThree) {
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000000000", dir.path()));
  ASSERT_EQ(0, Save(23, "1~c~0~~27~", "0~ok~0~~~12345", 1));
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000012345", dir.path()));
  ASSERT_EQ(0, Save(23, "1~c~0~~27~", "0~ok~0~~~00000000012345", 1));
  EXPECT_EQ(0, Kvo_CheckTradeSerial("27", "00000000012345", dir.path()));
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("31", "00000000012345", dir.path()));
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000012346", dir.path()));
  EXPECT_EQ(-7005, LastErrorCode());
  Put("23", "UseTime", "2024-01-01 00:00:00");
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000012345", dir.path()));
  ASSERT_EQ(0, Save(23, "1~c~0~27", "0~ok~0~~~00000000012345", 1));
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000012345", dir.path()));
  EXPECT_EQ(-7035, LastErrorCode());
}

TEST_F(JournalTest, CardRewriteNeedsTheSameSerialAndOldCardData) {
  std::string out = "untouched";
  auto find = [&](double compare, const std::string& card, const char* item7 = "x") {
    return Kvo_FindCardRewrite(31, item7, card, compare, &out, dir.path());
  };
  EXPECT_EQ(-1, find(12345, "OLD"));  // no entry at all
  for (const char* entry : {"0~ok~1~~OLD~f6", "0~ok~0~~OLD%%  ~f6", "0~ok~0~OLD%%NEW"}) {
    ASSERT_EQ(0, Save(31, "in", entry, 12345));  // no pair left, no new data, four fields
    EXPECT_EQ(-1, find(12345, "OLD")) << entry;
  }
  ASSERT_EQ(0, Save(31, "in", "0~ok~0~~OLD%%NEW%%20~f6~rest", 12345));
  EXPECT_EQ(-1, find(12346, "OLD"));       // another serial
  EXPECT_EQ(-1, find(31, "OLD"));          // the transaction number is no serial
  EXPECT_EQ(-1, find(12345, "OTHER"));     // another card
  EXPECT_EQ(-1, find(12345, "OLD", " "));  // blank item 7
  EXPECT_EQ(-1, find(12345, "  "));        // blank card data
  EXPECT_EQ("untouched", out);
  ASSERT_EQ(0, find(12345, "OLD"));
  EXPECT_EQ("NEW%%20", out);
}

TEST(JournalText, SerialIsShortestDecimal) {
  EXPECT_EQ("0", JournalSerialText(0));
  EXPECT_EQ("12345", JournalSerialText(12345));
  EXPECT_EQ("99999999999999", JournalSerialText(99999999999999.0));
  EXPECT_EQ("12.5", JournalSerialText(12.5));
}

}  // namespace
}  // namespace corvane
