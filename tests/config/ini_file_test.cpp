// Ini files on disk: reads go to the file, writes replace it whole.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/diagnostics.h"
#include "common/last_error.h"
#include "config/ini_file.h"
#include "config/trade_cfg.h"
#include "support/temp_dir.h"

namespace corvane {
namespace {

using testing::TempDir;

using testing::ReadFile;
using testing::WriteFile;

TEST(IniFile, ReadsSeeEveryChangeMadeOutside) {
  TempDir dir;
  std::string path = dir.file("a.ini");
  std::string v;
  v = IniReadString(path, "S", "k", "def");
  EXPECT_EQ(v, "def");
  WriteFile(path, "[S]\r\nk=1\r\n");
  v = IniReadString(path, "S", "k", "def");
  EXPECT_EQ(v, "1");
  WriteFile(path, "[S]\r\nk=2\r\n");
  EXPECT_EQ(IniReadInteger(path, "s", "K", 5), 2);
}

// Within a call scope a file is read once; what the call writes is what it
// reads next, and once the scope ends reads go to the file again.
TEST(IniFile, ACallScopeReadsOnceAndReadsItsOwnWrites) {
  TempDir dir;
  std::string path = dir.file("a.ini");
  WriteFile(path, "[S]\r\nk=1\r\nj=0\r\n");
  std::string v;
  {
    IniCallScope scope;
    {
      IniCallScope routine;  // nested, as a routine's inside an export's
      v = IniReadString(path, "S", "k", "");
      EXPECT_EQ(v, "1");
    }
    WriteFile(path, "[S]\r\nk=outside\r\n");
    v = IniReadString(path, "S", "k", "");
    EXPECT_EQ(v, "1") << "read once per call";
    IniWriteString(path, "S", "j", "2");
    EXPECT_EQ(ReadFile(path), "[S]\r\nk=1\r\nj=2\r\n");
    v = IniReadString(path, "S", "j", "");
    EXPECT_EQ(v, "2");
  }
  WriteFile(path, "[S]\r\nk=3\r\n");
  v = IniReadString(path, "S", "k", "");
  EXPECT_EQ(v, "3");
}

TEST(IniFile, AByteOrderMarkIsNotedOnceInTheDiagnosticsLog) {
  TempDir dir;
  SetDiagnosticsDirectory(dir.path());
  std::string path = dir.file("TradeCfg.ini");
  WriteFile(path, "\xEF\xBB\xBF[SYSTEM]\r\nLocalIP=1\r\n");
  std::string v;
  v = IniReadString(path, "SYSTEM", "LocalIP", "def");
  v = IniReadString(path, "SYSTEM", "LocalIP", "def");
  EXPECT_EQ(v, "1");
  std::string log;
  for (const auto& e : std::filesystem::directory_iterator(dir.file("log1"))) log += ReadFile(e.path().string());
  SetDiagnosticsDirectory("");
  const std::string note = "byte-order mark at the start of " + EscapeLogText(path);
  ASSERT_NE(log.find(note), std::string::npos) << log;
  EXPECT_EQ(log.find(note), log.rfind(note));
}

// Its cause, the system's words, is checked where the settings routines
// note it (trade_cfg_test.cpp).
TEST(IniFile, AFileThatCannotBeReadRaises) {
  TempDir dir;
  const std::string path = dir.file("dir.ini");
  std::filesystem::create_directory(path);
  EXPECT_THROW(IniReadString(path, "S", "k", ""), IniReadError);
  EXPECT_THROW(IniKeyExists(path, "S", "k"), IniReadError);
  EXPECT_THROW(IniLoadFile(path), IniReadError);
}

TEST(IniFile, RefusedWritesRaiseAndLeaveTheFile) {
  TempDir dir;
  std::string missing_dir = dir.file("no-such-dir") + "/x.ini";
  try {
    IniWriteString(missing_dir, "S", "k", "v");
    FAIL() << "no failure raised";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing_dir);
    EXPECT_FALSE(e.cause().empty());  // the system's words, for the diagnostics log
  }
  std::string path = dir.file("a.ini");
  WriteFile(path, "[S]\r\nk=1\r\n");
  EXPECT_THROW(IniWriteString(path, "S", "a=b", "v"), IniWriteError);
  EXPECT_THROW(IniWriteValues(path, {{"S", "k", "2"}, {"", "k", "v"}}), IniWriteError);
  EXPECT_EQ(ReadFile(path), "[S]\r\nk=1\r\n");
}

TEST(IniFile, AWriteCreatesTheFileAndLeavesNoTemporaryFiles) {
  TempDir dir;
  std::string path = dir.file("new.ini");
  IniWriteValues(path, {{"000", "TradeTypeID", "21"}, {"000", "TradeId", "12345"}});
  IniWriteString(path, "21", "InMsg", "x");
  EXPECT_EQ(ReadFile(path), "[000]\r\nTradeTypeID=21\r\nTradeId=12345\r\n\r\n[21]\r\nInMsg=x\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(IniRoutines, WriteRecordsItsErrorInAdvanceAndRaisesWhenRefused) {
  TempDir dir;
  Kvo_SetLastError(0, "");
  EXPECT_EQ(Kvo_WriteIniFSection("j.ini", "23", "UseTime", "", dir.str()), 0);
  EXPECT_EQ(LastErrorCode(), -7034);
  std::string v = "x";
  EXPECT_EQ(Kvo_ReadIniFSection("j.ini", "23", "UseTime", &v, dir.str()), 0);
  EXPECT_EQ(v, "");
  EXPECT_EQ(Kvo_ReadIniFSection("j.ini", "23", "Missing", &v, dir.str()), 0);
  EXPECT_EQ(v, "");
  Kvo_SetLastError(0, "");
  EXPECT_THROW(Kvo_WriteIniFSection("j.ini", "23", "k", "v", dir.file("none")), IniWriteError);
  EXPECT_EQ(LastErrorCode(), -7034);
  // A directory without its final separator is joined with one.
  std::string no_sep = dir.str();
  no_sep.pop_back();
  EXPECT_EQ(Kvo_WriteIniFSection("k.ini", "S", "k", "v", no_sep), 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("k.ini")));
  std::filesystem::create_directory(dir.file("d.ini"));
  v = "kept";
  EXPECT_EQ(Kvo_ReadIniFSection("d.ini", "S", "k", &v, dir.str()), -1);
  EXPECT_EQ(v, "kept");
}

}  // namespace
}  // namespace corvane
