#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "common/diagnostics.h"
#include "link/trade_log.h"
#include "support/temp_dir.h"
#include "platform/clock.h"
#include "platform/paths.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

using testing::TempDir;

TEST(TradeLog, LinesCarryTimestampMarkerAndTextUnchanged) {
  platform::LocalTime t{2026, 12, 6, 9, 5, 7, 0};
  std::string stamp = platform::ShortDateText(t) + " " + platform::LongTimeText(t);
  EXPECT_EQ(TradeLogLine(1, "a~b~交易", t), stamp + " $$IN $$a~b~交易");
  EXPECT_EQ(TradeLogLine(2, "r", t), stamp + " $$OUT$$r");
  EXPECT_EQ(TradeLogLine(3, "r", t), "");
  platform::LocalTime midnight{2026, 12, 6, 0, 0, 0, 0};
  EXPECT_EQ(TradeLogLine(1, "x", midnight), platform::ShortDateText(midnight) + " $$IN $$x");
  platform::LocalTime half_second{2026, 12, 6, 0, 0, 0, 500};
  EXPECT_EQ(TradeLogLine(1, "x", half_second), platform::ShortDateText(half_second) + " " +
                                                     platform::LongTimeText(half_second) +
                                                     " $$IN $$x");
  platform::LocalTime one_second{2026, 12, 6, 0, 0, 1, 0};
  EXPECT_NE(TradeLogLine(1, "x", one_second).find(platform::LongTimeText(one_second)),
            std::string::npos);
  EXPECT_EQ(TradeLogFileName(t), "CorvaneTradeLog20261206.log");
  EXPECT_EQ(platform::TimeDigits(t) + platform::MillisecondDigits(half_second), "090507500");
}

TEST(TradeLog, AReplyCannotForgeLines) {
  TempDir dir;
  std::string reply = "0~ok\r\n2026-12-06 09:05:07 $$OUT$$0~forged";
  const char tail[] = "\0tail\x1b[2J\\ 交易";
  reply.append(tail, sizeof tail - 1);
  ASSERT_EQ(Kvo_WriteTradeLog(2, reply, "day.log", dir.path()), 0);
  const std::string text = testing::ReadFile(dir.file("log1/day.log"));
  EXPECT_EQ(text.find("\r\n"), text.size() - 2) << "one line only";
  EXPECT_NE(text.find("$$OUT$$0~ok\\r\\n2026-12-06 09:05:07 $$OUT$$0~forged\\0tail\\x1B[2J\\\\ 交易\r\n"),
            std::string::npos)
      << text;
}

TEST(TradeLog, EmptyTextTouchesNothing) {
  TempDir dir;
  EXPECT_EQ(Kvo_WriteTradeLog(1, "", "", dir.path()), 0);
  EXPECT_FALSE(fs::exists(fs::path(dir.path()) / "log1"));
}

TEST(TradeLog, FirstWriteCreatesTheDirectoryAndLaterWritesAppend) {
  TempDir dir;
  ASSERT_EQ(Kvo_WriteTradeLog(1, "packet", "", dir.path()), 0);
  ASSERT_EQ(Kvo_WriteTradeLog(2, "reply", "", dir.str()), 0);
  fs::path file = fs::path(dir.path()) / "log1" / TradeLogFileName(platform::Now());
  ASSERT_TRUE(fs::exists(file));
  std::string text = testing::ReadFile(file.string());
  size_t first = text.find("\r\n");
  ASSERT_NE(first, std::string::npos);
  std::string line1 = text.substr(0, first);
  std::string line2 = text.substr(first + 2);
  EXPECT_EQ(line1.substr(line1.size() - 14), " $$IN $$packet");
  EXPECT_EQ(line2.substr(line2.size() - 15), " $$OUT$$reply\r\n");
  EXPECT_EQ(line2.find("\r\n"), line2.size() - 2);
  ASSERT_EQ(Kvo_WriteTradeLog(1, "named", "own.log", dir.path()), 0);
  EXPECT_TRUE(fs::exists(fs::path(dir.path()) / "log1" / "own.log"));
}

// Within a call the file stays open, yet every line is in the file as soon
// as it is written; a line of a later day goes to that day's file.
TEST(TradeLog, ACallKeepsTheFileOpenAndWritesEachLineThrough) {
  TempDir dir;
  const fs::path log1 = fs::path(dir.path()) / "log1";
  {
    TradeLogCallScope call;
    ASSERT_EQ(Kvo_WriteTradeLog(1, "packet", "day1.log", dir.path()), 0);
    EXPECT_NE(testing::ReadFile((log1 / "day1.log").string()).find("$$IN $$packet\r\n"),
              std::string::npos);
    ASSERT_EQ(Kvo_WriteTradeLog(2, "reply", "day1.log", dir.path()), 0);
    ASSERT_EQ(Kvo_WriteTradeLog(2, "next day", "day2.log", dir.path()), 0);
    EXPECT_NE(testing::ReadFile((log1 / "day1.log").string()).find("$$OUT$$reply\r\n"),
              std::string::npos);
    EXPECT_NE(testing::ReadFile((log1 / "day2.log").string()).find("$$OUT$$next day\r\n"),
              std::string::npos);
  }
  // Closed with the call: a file removed between calls comes back.
  fs::remove(log1 / "day2.log");
  TradeLogCallScope next_call;
  ASSERT_EQ(Kvo_WriteTradeLog(1, "again", "day2.log", dir.path()), 0);
  EXPECT_NE(testing::ReadFile((log1 / "day2.log").string()).find("$$IN $$again"), std::string::npos);
}

TEST(TradeLog, AnUnwritableBaseDirectoryFailsEveryWrite) {
  TempDir dir;
  EXPECT_EQ(Kvo_WriteTradeLog(1, "x", "", (fs::path(dir.path()) / "missing").string()), -1);
  // log1 exists as a file: the directory cannot be made, the open fails,
  // and the cause names the file and the system's words, in a call or not.
  testing::WriteFile(dir.file("log1"), "");
  const std::string log = platform::JoinPath(platform::JoinPath(dir.path(), "log1"), "day.log");
  const std::string head = "daily log " + log + " cannot be written: ";
  for (bool in_call : {false, true}) {
    TakeNotedCauses();
    std::unique_ptr<TradeLogCallScope> call(in_call ? new TradeLogCallScope : nullptr);
    EXPECT_EQ(Kvo_WriteTradeLog(1, "x", "day.log", dir.path()), -1);
    const std::string noted = TakeNotedCauses();
    EXPECT_EQ(noted.find(head), 0u) << noted;
    EXPECT_GT(noted.size(), head.size()) << noted;
  }
  EXPECT_EQ(Kvo_WriteTradeLog(7, "x", "", dir.path()), -1);
}

}  // namespace
}  // namespace corvane
