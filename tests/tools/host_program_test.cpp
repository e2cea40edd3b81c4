// corvane-host for people: usage and checks of its arguments, replies laid
// out field by field, texts converted between the terminal and GBK, doctor
// and version.  Sources are compiled with a GBK execution character set:
// texts as the terminal shows them are u8 literals.
#include <gtest/gtest.h>

#include <atomic>

#include "corvane_version.h"
#include "flow/flow_fixture.h"
#include "platform/text.h"
#include "support/process.h"

namespace corvane::flowtest {
namespace {

using corvane::testing::ProcessResult;
using corvane::testing::ReadFile;
using corvane::testing::RunProcess;
using corvane::testing::WriteFile;

std::string Gbk(const std::string& utf8) { return platform::WideToGbk(platform::Utf8ToWide(utf8)); }

class HostProgram : public FlowTest {
 protected:
  std::string NextAddress() override {
    static std::atomic<int> next{0};
    return "127.0.0." + std::to_string(150 + next++ % 10);
  }

  // Runs the host program in the workstation folder under a locale.
  ProcessResult Run(const std::vector<std::string>& args, const std::string& locale = "C.UTF-8") {
    std::vector<std::string> argv{dir_->path() + "/corvane-host"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, dir_->path(), 60000, {{"LC_ALL", locale}});
  }
};

TEST_F(HostProgram, HelpListsEveryCommandAndEachCommandHasItsUsage) {
  ProcessResult r = Run({"--help"});
  EXPECT_EQ(0, r.exit_code);
  for (const char* c : {"init", "apply", "close", "setcfg", "doctor", "version", "codepage"})
    EXPECT_NE(std::string::npos, r.out.find(std::string("\n  ") + c + " ")) << c;
  r = Run({"apply", "--help"});
  EXPECT_EQ(0, r.exit_code);
  EXPECT_NE(std::string::npos, r.out.find("usage: corvane-host apply N SERIAL REQUEST [EXTRA]"));
}

TEST_F(HostProgram, BadNumbersAndArgumentCountsAreUsageErrorsThatCallNothing) {
  StartFrontEnd();
  const std::vector<std::vector<std::string>> bad = {
      {"apply", "abc", "xyz", "$$a$$"}, {"apply", "31", "xyz", "$$a$$"},
      {"apply", "31", "12a", "$$a$$"},  {"apply", "99999999999", "1", "$$a$$"},
      {"apply", "31", "1e", "$$a$$"}, {"apply", "31", "1e+", "$$a$$"}, {"apply", "31", "1"},
      {"init", "--", "apply", "31", "", "$$a$$"},   {"close", "a", "b"},
      {"frobnicate"}};
  for (const auto& args : bad) {
    ProcessResult r = Run(args);
    EXPECT_EQ(2, r.exit_code) << ::testing::PrintToString(args);
    EXPECT_NE(std::string::npos, r.err.find("corvane-host")) << r.err;
  }
  // Every command is checked before the first runs: not even init ran.
  EXPECT_TRUE(FrontCalls().empty());
}

TEST_F(HostProgram, ErrorReplyShowsTagCodeAndMessageOnTheirOwnLines) {
  const std::string tag = u8"交易申请实现函数(f_UCApply):001";
  const std::string message = u8"调用交易前未做初始化，请先调用f_UserCorvaneInit函数！";
  ProcessResult r = Run({"apply", "5", "12345678901234", "$$a~b$$"});
  EXPECT_EQ(1, r.exit_code);
  EXPECT_EQ("apply 5: status -1 (failed)\n  reply: $$-1~1050%%" + tag + "%%-7003%%" + u8"错误原因:" +
                message + "$$\n  error tag:     " + tag + "\n  error code:    -7003\n  error message: " +
                message + "\n",
            r.out);
}

// Replies are laid out field by field in the terminal's encoding (UTF-8 or
// GBK) or passed as exact bytes (--raw); requests reach the front end as GBK.
TEST_F(HostProgram, RepliesAreLaidOutInTheTerminalsEncodingOrPassedRaw) {
  Answer(250, Gbk(u8"0~目录%%第二部分"));
  StartFrontEnd();
  ProcessResult utf8 = Run({"init", "--", "apply", "250", "7", u8"$$药品$$"});
  EXPECT_EQ(0, utf8.exit_code) << utf8.err;
  EXPECT_EQ(u8"apply 250: status 0 (success)\n  reply: $$0~目录%%第二部分~~~~$$\n  field 1: 0\n"
            u8"  field 2: 目录%%第二部分\n    2.1: 目录\n    2.2: 第二部分\n"
            "  field 3: \n  field 4: \n  field 5: \n  field 6: \n",
            utf8.out.substr(utf8.out.find("apply 250")));
  ProcessResult gbk = Run({"init", "--", "apply", "250", "7", Gbk(u8"$$药品$$")}, "zh_CN.GBK");
  EXPECT_EQ(Gbk(utf8.out), gbk.out);
  ProcessResult raw = Run({"--raw", "init", "--", "apply", "250", "8", Gbk(u8"$$药品$$")});
  EXPECT_EQ("0\t$$0~~~~$$\n0\t" + Gbk(u8"$$0~目录%%第二部分~~~~$$") + "\n", raw.out);
  const auto calls = FrontCalls();
  ASSERT_EQ(6u, calls.size());
  for (int i : {1, 3, 5}) EXPECT_EQ(Gbk(u8"药品~"), calls[i].request) << i;
}

TEST_F(HostProgram, UnknownTerminalEncodingIsWarnedAboutAndNotCalled936) {
  ProcessResult r = Run({"codepage"}, "C");
  EXPECT_EQ(0, r.exit_code);
  EXPECT_EQ(std::string::npos, r.out.find("936\n")) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("ANSI_X3.4-1968")) << r.out;
  EXPECT_NE(std::string::npos, r.err.find("warning: the terminal's encoding cannot be told"));
  EXPECT_EQ("", Run({"--raw", "codepage"}, "C").err);
}

TEST_F(HostProgram, VersionIsTheLibrarysOwn) {
  ProcessResult r = Run({"version"});
  EXPECT_EQ(0, r.exit_code) << r.err;
  EXPECT_NE(std::string::npos, r.out.find(std::string(": CorvaneApply ") + CORVANE_VERSION + "\n"))
      << r.out;
  WriteFile(*dir_ / "libCorvaneApply.so", "not a library");
  EXPECT_EQ(1, Run({"version"}).exit_code);
}

TEST_F(HostProgram, DoctorPassesOnAWorkingWorkstation) {
  StartFrontEnd();
  WriteFile(*dir_ / "TradeCfg.ini", ReadFile(*dir_ / "TradeCfg.ini") +
                                        "[HardWare]\r\nCom=1\r\nReadType=501\r\nCardType=501\r\n"
                                        "baud=9600\r\nOpType=1\r\n");
  ProcessResult r = Run({"doctor"});
  EXPECT_EQ(0, r.exit_code) << r.out << r.err;
  EXPECT_NE(std::string::npos, r.out.find("connected and created the server object")) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("libICCInter01046.so loaded")) << r.out;
  EXPECT_EQ(std::string::npos, r.out.find("FAIL")) << r.out;
  EXPECT_TRUE(FrontCalls().empty()) << "doctor ran a transaction";
}

TEST_F(HostProgram, DoctorNamesEachProblem) {
  StartFrontEnd();
  WriteFile(*dir_ / "TradeCfg.ini",
            "\xEF\xBB\xBF; settings\r\n[SYSTEM]\r\nNativeAddress=" + address_ +
                "\r\nNativeServer=Wrong.Name\r\n[HardWare]\r\nCom=COM1\r\n");
  std::remove((*dir_ / "libICCInter01046.so").c_str());
  ProcessResult r = Run({"doctor"});
  EXPECT_EQ(1, r.exit_code);
  for (const char* expected :
       {"byte-order mark", "[HardWare] Com=\"COM1\" is not a number: the default 5 is used",
        "[HardWare] baud is missing: the default 9600 is used", "[SYSTEM] LocalIP is missing",
        "server \"Wrong.Name\": ", "Wrong.Name", "card library tried: " ,
        "/libICCInter01046.so: cannot load", "FAIL no card library found"})
    EXPECT_NE(std::string::npos, r.out.find(expected)) << expected << "\n" << r.out;
}

TEST_F(HostProgram, FrontendCallConvertsThePacketAndTheReply) {
  Answer(201, Gbk(u8"0~成功"));
  StartFrontEnd();
  const std::string call = corvane::testing::BuildDir() + "/tools/frontend-sim/frontend-call";
  const std::string packet = "201" + std::string(14, '0') + "000006" + std::string(15, ' ');
  ProcessResult r = RunProcess({call, address_, "CorvaneFront.Trade", "201", packet + u8"~药品"},
                               dir_->path(), 60000, {{"LC_ALL", "C.UTF-8"}});
  EXPECT_EQ(u8"0~成功\n", r.out) << r.err;
  r = RunProcess({call, "--raw", address_, "CorvaneFront.Trade", "201", packet + Gbk(u8"~药品")},
                 dir_->path(), 60000, {{"LC_ALL", "C.UTF-8"}});
  EXPECT_EQ(Gbk(u8"0~成功\n"), r.out) << r.err;
  const auto calls = FrontCalls();
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(Gbk(u8"药品"), calls[0].request);
  EXPECT_EQ(Gbk(u8"药品"), calls[1].request);
}

}  // namespace
}  // namespace corvane::flowtest
