// The four exports as a host sees them: a real host program, copied with
// the library into a fresh directory, loads the library and calls them.
// The same checks run against each Windows build under Wine, in a run of
// their own (the i686 build, the product, under 32-bit Wine).
#include <gtest/gtest.h>

#include <algorithm>

#include "support/process.h"

namespace corvane::testing {
namespace {

struct HostBuild {
  std::string name;
  std::string host;     // host program
  std::string library;  // library file
  bool wine;
};

void PrintTo(const HostBuild& b, std::ostream* os) { *os << b.name; }

HostBuild Linux() {
  return {"linux", BuildDir() + "/tools/corvane-host/corvane-host",
          BuildDir() + "/src/api/libCorvaneApply.so", false};
}

HostBuild Windows() {
  std::string w = WindowsBuildDir();
  return {WindowsTarget(), w + "/tools/corvane-host/corvane-host.exe", w + "/src/api/CorvaneApply.dll",
          true};
}

HostBuild BuildOfThisRun() { return WindowsBuildDir().empty() ? Linux() : Windows(); }

class Exports : public ::testing::TestWithParam<HostBuild> {
 protected:
  void SetUp() override {
    const HostBuild& b = GetParam();
    host_ = CopyInto(b.host, dir_.path());
    CopyInto(b.library, dir_.path());
    if (b.wine) {
      // Code page 936 or nothing: every text of the library is GBK.
      ProcessResult cp = Run({"codepage"});
      ASSERT_EQ("936\n", cp.out)
          << "Wine is not running with code page 936 (GBK); set LC_ALL=zh_CN.GBK. stderr: " << cp.err;
    }
  }

  ProcessResult Run(const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& env = {}) {
    std::vector<std::string> argv{host_, "--raw"};
    argv.insert(argv.end(), args.begin(), args.end());
    if (!GetParam().wine) return RunProcess(argv, dir_.path(), 120000, env);
    // A Windows program writes CR LF line ends.
    ProcessResult r = RunProcess(UnderWine(argv), dir_.path(), 120000, env);
    r.out.erase(std::remove(r.out.begin(), r.out.end(), '\r'), r.out.end());
    return r;
  }

  TempDir dir_;
  std::string host_;
};

TEST_P(Exports, SetUserTradeCfgWritesOneZeroByte) {
  ProcessResult r = Run({"setcfg"});
  EXPECT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ("0\t\t(1 byte written)\n", r.out);
}

TEST_P(Exports, ApplyBeforeInitFailsWithTheFirstExit) {
  ProcessResult r = Run({"apply", "5", "12345678901234", "$$a~b$$", "extra"});
  EXPECT_EQ(1, r.exit_code) << r.err;
  EXPECT_EQ(
      "-1\t$$-1~1050%%交易申请实现函数(f_UCApply):001%%-7003%%错误原因:调用交易前未做初始化，请先调用"
      "f_UserCorvaneInit函数！$$\n",
      r.out);
}

TEST_P(Exports, Transaction52WithoutADisplayFailsAndSaysSo) {
  // Never a success for a dialog that did not appear; the file is not
  // created.  Linux knows there is no display (-7040); Wine refuses the
  // window (-7042).
  ProcessResult r = Run({"apply", "52", "0", "anything"}, {{"DISPLAY", ""}});
  EXPECT_EQ(1, r.exit_code) << r.err;
  const std::string head = "-1\t$$-1~1050%%交易申请实现函数(f_UCApply):018%%";
  EXPECT_EQ(0u, r.out.rfind(head + (GetParam().wine ? "-704" : "-7040%%"), 0)) << r.out;
  EXPECT_FALSE(PathExists(dir_.file("TradeCfg.ini")));
}

TEST_P(Exports, NullTextsAreEmptyTexts) {
  // "init" and "close" without a request pass null pointers.
  ProcessResult r = Run({"close", "--", "apply", "7", "0", "$$$$"});
  EXPECT_NE(std::string::npos, r.out.find("(f_UCApply):001")) << r.out << r.err;
}

TEST_P(Exports, InitIgnoresItsRequestText) {
  // No front end is configured: every init fails the same way, whatever
  // the request text (none, i.e. a null pointer, or any text).
  ProcessResult r = Run({"init", "--", "init", "$$abc$$", "--", "init", "任意文本"});
  EXPECT_EQ(1, r.exit_code) << r.err;
  std::string first = r.out.substr(0, r.out.find('\n') + 1);
  EXPECT_EQ(0u, first.rfind("-1\t$$-1~1050%%", 0)) << r.out;
  EXPECT_EQ(first + first + first, r.out);
}

INSTANTIATE_TEST_SUITE_P(Builds, Exports, ::testing::Values(BuildOfThisRun()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace corvane::testing
