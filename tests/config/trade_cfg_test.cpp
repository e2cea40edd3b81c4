// TradeCfg.ini beside the host program (this program runs from a fresh
// temporary directory, see relocated_main.cpp).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "common/diagnostics.h"
#include "common/last_error.h"
#include "config/ini_file.h"
#include "config/trade_cfg.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace corvane {
namespace {

std::string HostFile(const std::string& name) { return platform::HostDirectory() + name; }

using testing::ReadFile;
using testing::WriteFile;

class TradeCfgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove(HostFile("TradeCfg.ini"));
    std::filesystem::remove(HostFile("TradeLog.ini"));
  }
};

TEST_F(TradeCfgTest, FreshSessionStartCreatesAllKeysEmptyInOrderAndReadsDefaults) {
  ASSERT_EQ(Kvo_InitializeIniF(), 0);
  EXPECT_EQ(ReadFile(HostFile("TradeCfg.ini")),
            "[HardWare]\r\nCom=\r\nReadType=\r\nCardType=\r\nbaud=\r\nOpType=\r\n\r\n"
            "[TRADEMANAGE]\r\nCurrentTrade=\r\nTradeTime=\r\nMaxOutTime=\r\n\r\n"
            "[SYSTEM]\r\nLocalIP=\r\nSysHaveInit=\r\nAccBench=\r\nTermLog=\r\n"
            "NativeAddress=\r\nNativeServer=\r\nAREAID=\r\n\r\n"
            "[TUXEDO]\r\nPerm=\r\nAppPassword=\r\nUserName=\r\nPassword=\r\n"
            "ClientName=\r\nGroupName=\r\n");
  SystemCfg().LocalIP = "stale";
  AllocateIccTextBuffer();
  std::string key;
  ASSERT_EQ(Kvo_ReadTradeCfg(&key), 0);
  const TICC_ENV& env = IccEnv();
  EXPECT_EQ(env.Port, 5);
  EXPECT_EQ(env.ReadType, 501);
  EXPECT_EQ(env.CardType, 501);
  EXPECT_EQ(env.Baud, 9600);
  EXPECT_EQ(env.OpType, 1);
  EXPECT_EQ(SystemCfg().LocalIP, "");
  EXPECT_STREQ(env.CodeA, "907153");
  EXPECT_STREQ(env.CodeB, "9133");
  EXPECT_STREQ(env.ServerAddress, kIccServerAddress);
  ASSERT_NE(env.TextBuffer, nullptr);
  EXPECT_STREQ(env.TextBuffer, "ZeroUse!");
  for (uint8_t b : env.Reserved48) EXPECT_EQ(b, 0);
}

TEST_F(TradeCfgTest, ExistingKeysAreLeftAndOnlyMissingOnesAdded) {
  const std::string own = "; hospital settings\r\n[hardware]\r\ncom=3\r\nExtra=1\r\n";
  WriteFile(HostFile("TradeCfg.ini"), own);
  ASSERT_EQ(Kvo_InitializeIniF(), 0);
  std::string text = ReadFile(HostFile("TradeCfg.ini"));
  EXPECT_EQ(text.rfind(own.substr(0, own.size() - 2), 0), 0u) << text;
  EXPECT_EQ(text.find("Com="), std::string::npos);
  ASSERT_EQ(Kvo_ReadTradeCfg(nullptr), 0);
  EXPECT_EQ(IccEnv().Port, 3);
  // A second start changes nothing.
  ASSERT_EQ(Kvo_InitializeIniF(), 0);
  EXPECT_EQ(ReadFile(HostFile("TradeCfg.ini")), text);
}

TEST_F(TradeCfgTest, SessionStartKeepsAnUnfinishedTransactionAndEmptiesThePendingSection) {
  const std::string pending =
      "[000]\r\nTradeTypeID=22\r\nTradeId=123\r\nTradeTime=x\r\nYbzt=1\r\nIczt=2\r\n"
      "Hiszt=3\r\nTAC=0\r\n";
  WriteFile(HostFile("TradeLog.ini"), pending + "[23]\r\nInMsg=keep\r\n");
  std::filesystem::remove_all(HostFile("log1"));
  ASSERT_EQ(Kvo_InitializeIniF(), 0);
  const std::string text = ReadFile(HostFile("TradeLog.ini"));
  const std::string emptied =
      "[000]\r\nTradeTypeID=\r\nTradeId=\r\nTradeTime=\r\nYbzt=\r\nIczt=\r\n"
      "Hiszt=\r\nTAC=\r\n[23]\r\nInMsg=keep\r\n";
  ASSERT_EQ(text.rfind(emptied, 0), 0u) << text;
  // The archive section: "000-" and a 17-digit time stamp, then every key.
  const std::string archive = text.substr(emptied.size());
  ASSERT_EQ(archive.rfind("\r\n[000-", 0), 0u) << text;
  const std::string name = archive.substr(3, archive.find(']') - 3);
  EXPECT_EQ(name.size(), 21u) << name;
  EXPECT_EQ(archive.substr(archive.find(']') + 1), "\r\n" + pending.substr(7));
  // And a line in the diagnostics log names it with the values.
  std::string diag;
  for (const auto& e : std::filesystem::directory_iterator(HostFile("log1"))) diag += ReadFile(e.path().string());
  EXPECT_NE(diag.find("[Kvo_InitializeIniF] 0 unfinished transaction kept in section [" + name + "]"),
            std::string::npos) << diag;
  EXPECT_NE(diag.find("TradeTypeID=22 TradeId=123 TradeTime=x Ybzt=1 Iczt=2 Hiszt=3 TAC=0"),
            std::string::npos) << diag;

  // A second start finds nothing unfinished and keeps the archive.
  ASSERT_EQ(Kvo_InitializeIniF(), 0);
  EXPECT_EQ(ReadFile(HostFile("TradeLog.ini")), text);
}

TEST_F(TradeCfgTest, SessionStartWithNothingPendingArchivesNothing) {
  WriteFile(HostFile("TradeLog.ini"), "[000]\r\nTradeTypeID= \r\nYbzt=1\r\n");
  ASSERT_EQ(Kvo_InitializeIniF(), 0);
  EXPECT_EQ(ReadFile(HostFile("TradeLog.ini")),
            "[000]\r\nTradeTypeID=\r\nYbzt=\r\nTradeId=\r\nTradeTime=\r\nIczt=\r\n"
            "Hiszt=\r\nTAC=\r\n");
}

TEST_F(TradeCfgTest, IntegersReadHexAndFallBackToDefaults) {
  WriteFile(HostFile("TradeCfg.ini"),
      "[HardWare]\r\nCom=0x10\r\nReadType=abc\r\nCardType=\r\nbaud=$2580\r\nOpType= 3 \r\n"
      "[SYSTEM]\r\nLocalIP= \"10.0.0.1\" \r\nNativeServer=Srv\r\nAccBench=x\r\n");
  ASSERT_EQ(Kvo_ReadTradeCfg(nullptr), 0);
  EXPECT_EQ(IccEnv().Port, 16);
  EXPECT_EQ(IccEnv().ReadType, 501);
  EXPECT_EQ(IccEnv().CardType, 501);
  EXPECT_EQ(IccEnv().Baud, 9600);
  EXPECT_EQ(IccEnv().OpType, 3);
  EXPECT_EQ(SystemCfg().LocalIP, "10.0.0.1");
  EXPECT_EQ(SystemCfg().NativeServer, "Srv");
  EXPECT_EQ(SystemCfg().AccBench, "");
  WriteFile(HostFile("TradeCfg.ini"), "[HardWare]\r\nCom=abc\r\n");
  ASSERT_EQ(Kvo_ReadTradeCfg(nullptr), 0);
  EXPECT_EQ(IccEnv().Port, 5);
}

TEST_F(TradeCfgTest, ReadingATransactionLineRefreshesEverySetting) {
  WriteFile(HostFile("TradeCfg.ini"), "[HardWare]\r\nCom=2\r\n[USERTRADE]\r\n31=31,5,x\r\n");
  std::string key = " 31 ";
  ASSERT_EQ(Kvo_ReadTradeCfg(&key), 0);
  EXPECT_EQ(key, "31,5,x");
  EXPECT_EQ(IccEnv().Port, 2);
  WriteFile(HostFile("TradeCfg.ini"), "[HardWare]\r\nCom=4\r\n");
  key = "31";
  ASSERT_EQ(Kvo_ReadTradeCfg(&key), 0);
  EXPECT_EQ(key, "");
  EXPECT_EQ(IccEnv().Port, 4);
}

// The cause the last failure noted: the file, then the system's words.
void ExpectReadCause(const std::string& path) {
  const std::string noted = TakeNotedCauses();
  const std::string head = "Unable to read " + path + ": ";
  EXPECT_EQ(noted.find(head), 0u) << noted;
  EXPECT_GT(noted.size(), head.size()) << noted;
}

TEST_F(TradeCfgTest, AnUnreadableSettingsFileFailsWithItsCodeAndNotesWhy) {
  const std::string path = HostFile("TradeCfg.ini");
  std::filesystem::create_directory(path);
  TakeNotedCauses();
  std::string key;
  EXPECT_EQ(Kvo_ReadTradeCfg(&key), -1);
  EXPECT_EQ(LastErrorCode(), -7004);
  ExpectReadCause(path);
  EXPECT_EQ(Kvo_InitializeIniF(), -1);
  EXPECT_EQ(LastErrorCode(), -7030);
  EXPECT_EQ(LastErrorMessage(), "执行Kvo_InitializeIniF函数发生错误，请联系开发人员！");
  ExpectReadCause(path);
  EXPECT_EQ(Kvo_ReadIniFSection("TradeCfg.ini", "SYSTEM", "LocalIP", &key, ""), -1);
  ExpectReadCause(path);
  std::filesystem::remove(path);
}

TEST(InitCorvaneTest, ResetsTheSessionRecords) {
  ErrorRecord().Text1 = "old";
  ErrorRecord().Value2 = 9;
  ASSERT_EQ(InitCorvane("10", 2), 0);
  EXPECT_EQ(PackEdit().Level, 10);
  EXPECT_EQ(PackEdit().Mode, 2);
  EXPECT_EQ(ErrorRecord().Text1, "");
  EXPECT_EQ(ErrorRecord().Value2, 0);
  EXPECT_FALSE(ErrorRecord().Time.empty());
  ASSERT_EQ(InitCorvane("55", 1), 0);
  EXPECT_EQ(PackEdit().Level, 100);
  ASSERT_EQ(InitCorvane("abc", 1), 0);
  EXPECT_EQ(PackEdit().Level, 100);
  EXPECT_EQ(PackEdit().LevelText, "abc");
}

}  // namespace
}  // namespace corvane
