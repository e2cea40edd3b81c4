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

using TempFolder = corvane::testing::TempDir;

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
  void Start(const std::string& no, const std::string& serial) {
    Kvo_WriteTradeJournal(1, no, serial, "", "", "", "", "2024-01-02 03:04:05", dir.path());
  }

  TempFolder dir;
};

TEST_F(JournalTest, PendingSectionMovesThroughItsStates) {
  Start("27", "12345");
  EXPECT_EQ("27", Get("000", "TradeTypeID"));
  EXPECT_EQ("12345", Get("000", "TradeId"));
  EXPECT_EQ("2024-01-02 03:04:05", Get("000", "TradeTime"));
  Kvo_WriteTradeJournal(2, "27", "12345", "", "", "", "1", "", dir.path());
  EXPECT_EQ("1", Get("000", "Ybzt"));
  Kvo_WriteTradeJournal(3, "27", "12345", "0", "", "2", "", "", dir.path());
  EXPECT_EQ("2", Get("000", "Iczt"));
  EXPECT_EQ("0", Get("000", "TAC"));
  // Modes name only their own keys.
  EXPECT_EQ("27", Get("000", "TradeTypeID"));
  EXPECT_EQ("1", Get("000", "Ybzt"));
  Kvo_WriteTradeJournal(7, "27", "99", "x", "x", "x", "x", "x", dir.path());
  EXPECT_EQ("12345", Get("000", "TradeId"));
}

TEST_F(JournalTest, FlagSevenZeroLeavesThePendingSectionAlone) {
  Start("27", "1");
  SetFlag(7, "0");
  Start("31", "2");
  Kvo_WriteTradeJournal(2, "31", "2", "", "", "", "2", "", dir.path());
  EXPECT_EQ("27", Get("000", "TradeTypeID"));
  EXPECT_EQ("", Get("000", "Ybzt"));
}

TEST_F(JournalTest, TransactionFortyNineEmptiesTheSectionWhateverTheMode) {
  Start("27", "1");
  Kvo_WriteTradeJournal(2, "27", "1", "", "", "", "2", "", dir.path());
  Kvo_WriteTradeJournal(3, "49", "0", "0", "", "1", "", "", dir.path());
  for (const char* key : {"TradeTypeID", "TradeId", "TradeTime", "Ybzt", "Iczt", "Hiszt", "TAC"})
    EXPECT_EQ("", Get("000", key)) << key;
}

TEST_F(JournalTest, SavedEntryKeepsRequestReplyAndUseTimeRules) {
  SetFlag(14, "1");
  ASSERT_EQ(0, Kvo_SaveTradeEntry(23, "1~c~0~~27~", "0~ok~0~~~00000000012345", 12345,
                                  kTradeLogFile, dir.path()));
  EXPECT_EQ("12345", Get("23", "TradeId"));
  EXPECT_EQ("", Get("23", "UseTime"));  // trade 23 never carries a use time
  EXPECT_EQ("1~c~0~~27~", Get("23", "InMsg"));
  EXPECT_EQ("0~ok~0~~~00000000012345", Get("23", "OutMsg"));

  ASSERT_EQ(0, Kvo_SaveTradeEntry(27, "in", "out", 7, kTradeLogFile, dir.path()));
  EXPECT_NE("", Get("27", "UseTime"));

  SetFlag(14, "0");
  Put("31", "UseTime", "earlier");
  ASSERT_EQ(0, Kvo_SaveTradeEntry(31, "in", "out", 1234567890123.0, kTradeLogFile, dir.path()));
  EXPECT_EQ("earlier", Get("31", "UseTime"));
  EXPECT_EQ("1234567890123", Get("31", "TradeId"));
}

TEST_F(JournalTest, SaveIntoAnUnwritableFolderReportsFailureWithoutRaising) {
  EXPECT_EQ(-1, Kvo_SaveTradeEntry(27, "in", "out", 1, kTradeLogFile,
                                   dir.file("no-such-folder")));
}

struct Call {
  int32_t trade_no;
  std::string packet;
  double serial;
};

RemoteTradeFn Recorder(std::vector<Call>* calls, int result, const std::string& answer) {
  return [=](int32_t no, const std::string& packet, std::string* reply, double serial) {
    calls->push_back({no, packet, serial});
    *reply = answer;
    return result;
  };
}

TEST_F(JournalTest, NothingPendingSendsNoReport) {
  std::vector<Call> calls;
  std::string reply;
  EXPECT_EQ(0, Kvo_ReportLeftoverTrade(27, "a~b", &reply, Recorder(&calls, 0, "0~"), dir.path()));
  EXPECT_TRUE(calls.empty());
  Put("000", "Ybzt", "1");  // a download transaction leaves only Ybzt
  EXPECT_EQ(0, Kvo_ReportLeftoverTrade(27, "a~b", &reply, Recorder(&calls, 0, "0~"), dir.path()));
  EXPECT_TRUE(calls.empty());
}

TEST_F(JournalTest, PendingTransactionIsReportedAsFortyNineAndCleared) {
  Start("27", "12345");
  Kvo_WriteTradeJournal(2, "27", "12345", "", "", "", "1", "", dir.path());
  Kvo_WriteTradeJournal(3, "27", "12345", "0", "", "1", "", "", dir.path());
  std::vector<Call> calls;
  std::string reply;
  EXPECT_EQ(1, Kvo_ReportLeftoverTrade(31, "x", &reply, Recorder(&calls, 1, "1~later"), dir.path()));
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ(49, calls[0].trade_no);
  EXPECT_EQ(0.0, calls[0].serial);
  EXPECT_EQ("~~~~27~12345~~~1~1~0~", calls[0].packet);
  EXPECT_EQ("1~later", reply);
  EXPECT_EQ("", Get("000", "TradeTypeID"));
  EXPECT_EQ("", Get("000", "Ybzt"));
}

// A step that fails later without a code of its own (no card data to
// rewrite) shows the error recorded in advance by the report or the
// pre-check; the journal writes in between must not replace it.
TEST_F(JournalTest, JournalWritesLeaveTheLastErrorAlone) {
  Kvo_SetLastError(-7032, "recorded in advance");
  Start("27", "12345");
  Kvo_WriteTradeJournal(2, "27", "12345", "", "", "", "1", "", dir.path());
  Kvo_WriteTradeJournal(3, "27", "12345", "0", "", "1", "", "", dir.path());
  EXPECT_EQ(-7032, LastErrorCode());

  std::vector<Call> calls;
  std::string reply;
  EXPECT_EQ(0, Kvo_ReportLeftoverTrade(31, "x", &reply, Recorder(&calls, 0, "0~"), dir.path()));
  EXPECT_EQ("", Get("000", "TradeTypeID"));
  Start("31", "12346");
  EXPECT_EQ(-7107, LastErrorCode());
  EXPECT_EQ("执行历史遗留交易返回未成功！", LastErrorMessage());
}

TEST_F(JournalTest, WithFlagSevenZeroAnEarlierPendingTransactionIsStillReportedAndCleared) {
  Start("27", "12345");
  SetFlag(7, "0");
  std::vector<Call> calls;
  std::string reply;
  EXPECT_EQ(0, Kvo_ReportLeftoverTrade(31, "x", &reply, Recorder(&calls, 0, "0~"), dir.path()));
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("~~~~27~12345~~~~~~", calls[0].packet);
  EXPECT_EQ("", Get("000", "TradeTypeID"));
}

TEST_F(JournalTest, FailedReportKeepsThePendingSectionAndRecordsItsError) {
  Start("27", "12345");
  Kvo_WriteTradeJournal(2, "27", "12345", "", "", "", "2", "", dir.path());
  std::vector<Call> calls;
  std::string reply;
  EXPECT_EQ(-1, Kvo_ReportLeftoverTrade(31, "x", &reply, Recorder(&calls, -1, ""), dir.path()));
  EXPECT_EQ(-7107, LastErrorCode());
  EXPECT_EQ("27", Get("000", "TradeTypeID"));
  EXPECT_EQ("2", Get("000", "Ybzt"));
}

TEST_F(JournalTest, RequestedFortyNineAlwaysReportsWithItsOwnRequest) {
  std::vector<Call> calls;
  std::string reply;
  EXPECT_EQ(0, Kvo_ReportLeftoverTrade(49, "1~c~0~~z", &reply, Recorder(&calls, 0, "0~r"),
                                       dir.path()));
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ("1~c~0~~z~~~~", calls[0].packet);

  Start("27", "5");
  Kvo_WriteTradeJournal(2, "27", "5", "", "", "", "1", "", dir.path());
  calls.clear();
  Kvo_ReportLeftoverTrade(49, "q", &reply, Recorder(&calls, 0, "0~r"), dir.path());
  EXPECT_EQ("q~1~~~", calls[0].packet);
}

class SerialCheckTest : public JournalTest {
 protected:
  void Journal23(const std::string& in, const std::string& out) {
    ASSERT_EQ(0, Kvo_SaveTradeEntry(23, in, out, 1, kTradeLogFile, dir.path()));
  }
};

TEST_F(SerialCheckTest, SerialIssuedForTheTransactionIsValid) {
  Journal23("1~c~0~~27~", "0~ok~0~~~00000000012345");
  EXPECT_EQ(0, Kvo_CheckTradeSerial("27", "00000000012345", dir.path()));
}

TEST_F(SerialCheckTest, OtherTransactionOrSerialIsRefused) {
  Journal23("1~c~0~~27~", "0~ok~0~~~00000000012345");
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("31", "00000000012345", dir.path()));
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000012346", dir.path()));
  EXPECT_EQ(-7005, LastErrorCode());
}

TEST_F(SerialCheckTest, UnpaddedJournalledSerialNeverMatches) {
  Journal23("1~c~0~~27~", "0~ok~0~~~12345");
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000012345", dir.path()));
}

TEST_F(SerialCheckTest, UsedSerialOrMissingFieldsAreRefused) {
  Journal23("1~c~0~~27~", "0~ok~0~~~00000000012345");
  Put("23", "UseTime", "2024-01-01 00:00:00");
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000012345", dir.path()));
  Journal23("1~c~0~27", "0~ok~0~~~00000000012345");
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000012345", dir.path()));
  EXPECT_EQ(-7035, LastErrorCode());
}

TEST_F(SerialCheckTest, NoJournalMeansNoValidSerial) {
  EXPECT_EQ(-1, Kvo_CheckTradeSerial("27", "00000000000000", dir.path()));
}

class CardRewriteTest : public JournalTest {
 protected:
  void Journal(int32_t no, double serial, const std::string& out) {
    ASSERT_EQ(0, Kvo_SaveTradeEntry(no, "in", out, serial, kTradeLogFile, dir.path()));
  }
  int Find(double compare, const std::string& card, std::string* out, const char* item7 = "x") {
    return Kvo_FindCardRewrite(31, item7, card, compare, out, dir.path());
  }
};

TEST_F(CardRewriteTest, SameSerialAndOldCardDataGiveTheNewData) {
  Journal(31, 12345, "0~ok~0~~OLD%%NEW%%20~f6~rest");
  std::string out = "untouched";
  ASSERT_EQ(0, Find(12345, "OLD", &out));
  EXPECT_EQ("NEW%%20", out);
}

TEST_F(CardRewriteTest, AnyMismatchWritesNothing) {
  Journal(31, 12345, "0~ok~0~~OLD%%NEW%%20~f6");
  std::string out = "untouched";
  EXPECT_EQ(-1, Find(12346, "OLD", &out));        // another serial
  EXPECT_EQ(-1, Find(31, "OLD", &out));           // the transaction number is no serial
  EXPECT_EQ(-1, Find(12345, "OTHER", &out));      // another card
  EXPECT_EQ(-1, Find(12345, "OLD", &out, " "));   // blank item 7
  EXPECT_EQ(-1, Find(12345, "  ", &out));         // blank card data
  EXPECT_EQ("untouched", out);
}

TEST_F(CardRewriteTest, EntryWithoutAPairOrNewDataWritesNothing) {
  std::string out = "untouched";
  EXPECT_EQ(-1, Find(12345, "OLD", &out));  // no entry at all
  Journal(31, 12345, "0~ok~1~~OLD~f6");     // the card was written: no pair left
  EXPECT_EQ(-1, Find(12345, "OLD", &out));
  Journal(31, 12345, "0~ok~0~~OLD%%  ~f6");
  EXPECT_EQ(-1, Find(12345, "OLD", &out));
  Journal(31, 12345, "0~ok~0~OLD%%NEW");    // only four fields
  EXPECT_EQ(-1, Find(12345, "OLD", &out));
  EXPECT_EQ("untouched", out);
}

TEST(JournalText, SerialIsShortestDecimal) {
  EXPECT_EQ("0", JournalSerialText(0));
  EXPECT_EQ("12345", JournalSerialText(12345));
  EXPECT_EQ("99999999999999", JournalSerialText(99999999999999.0));
  EXPECT_EQ("12.5", JournalSerialText(12.5));
}

}  // namespace
}  // namespace corvane
