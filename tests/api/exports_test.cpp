// The four exports as a host sees them: a real host program, copied with
// the library into a fresh directory, loads the library and calls them.
// The same checks run against each Windows build under Wine, in a run of
// their own (the i686 build, the product, under 32-bit Wine).
#include <gtest/gtest.h>

#include <algorithm>

#include "support/process.h"

namespace corvane::testing {
namespace {

class Exports : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string build = wine_ ? WindowsBuildDir() : BuildDir();
    host_ = CopyInto(build + "/tools/corvane-host/corvane-host" + (wine_ ? ".exe" : ""), dir_.path());
    CopyInto(build + (wine_ ? "/src/api/CorvaneApply.dll" : "/src/api/libCorvaneApply.so"), dir_.path());
    if (wine_) {
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
    if (!wine_) return RunProcess(argv, dir_.path(), 120000, env);
    // A Windows program writes CR LF line ends.
    ProcessResult r = RunProcess(UnderWine(argv), dir_.path(), 120000, env);
    r.out.erase(std::remove(r.out.begin(), r.out.end(), '\r'), r.out.end());
    return r;
  }

  const bool wine_ = !WindowsBuildDir().empty();
  TempDir dir_;
  std::string host_;
};

TEST_F(Exports, SetUserTradeCfgWritesOneZeroByte) {
  ProcessResult r = Run({"setcfg"});
  EXPECT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ("0\t\t(1 byte written)\n", r.out);
}

TEST_F(Exports, ApplyBeforeInitFailsWithTheFirstExit) {
  ProcessResult r = Run({"apply", "5", "12345678901234", "$$a~b$$", "extra"});
  EXPECT_EQ(1, r.exit_code) << r.err;
  EXPECT_EQ(
      "-1\t$$-1~1050%%交易申请实现函数(f_UCApply):001%%-7003%%错误原因:调用交易前未做初始化，请先调用"
      "f_UserCorvaneInit函数！$$\n",
      r.out);
}

TEST_F(Exports, Transaction52WithoutADisplayFailsAndSaysSo) {
  // Never a success for a dialog that did not appear; the file is not
  // created.  Linux knows there is no display (-7040); Wine refuses the
  // window (-7042).
  ProcessResult r = Run({"apply", "52", "0", "anything"}, {{"DISPLAY", ""}});
  EXPECT_EQ(1, r.exit_code) << r.err;
  const std::string head = "-1\t$$-1~1050%%交易申请实现函数(f_UCApply):018%%";
  EXPECT_EQ(0u, r.out.rfind(head + (wine_ ? "-704" : "-7040%%"), 0)) << r.out;
  EXPECT_FALSE(PathExists(dir_.file("TradeCfg.ini")));
}

TEST_F(Exports, NullTextsAreEmptyTexts) {
  // "init" and "close" without a request pass null pointers.
  ProcessResult r = Run({"close", "--", "apply", "7", "0", "$$$$"});
  EXPECT_NE(std::string::npos, r.out.find("(f_UCApply):001")) << r.out << r.err;
}

TEST_F(Exports, InitIgnoresItsRequestText) {
  // No front end is configured: every init fails the same way, whatever
  // the request text (none, i.e. a null pointer, or any text).
  ProcessResult r = Run({"init", "--", "init", "$$abc$$", "--", "init", "任意文本"});
  EXPECT_EQ(1, r.exit_code) << r.err;
  std::string first = r.out.substr(0, r.out.find('\n') + 1);
  EXPECT_EQ(0u, first.rfind("-1\t$$-1~1050%%", 0)) << r.out;
  EXPECT_EQ(first + first + first, r.out);
}

}  // namespace
}  // namespace corvane::testing
