// Linux and Windows agree on GBK byte for byte: the Linux conversion is
// compared with Windows' own code page 936 under Wine for every sequence.
#include <gtest/gtest.h>

#include <sstream>

#include "support/process.h"

namespace corvane::testing {
namespace {

TEST(GbkTable, LinuxMatchesWindowsCodePage936) {
  if (WindowsBuildDir().empty()) GTEST_SKIP() << "no Windows build configured";
  TempDir dir;
  ProcessResult linux_run = RunProcess({BuildDir() + "/tests/platform/gbk_table"}, dir.path());
  ASSERT_EQ(0, linux_run.exit_code);
  ProcessResult wine_run =
      RunProcess(UnderWine({WindowsBuildDir() + "/tests/platform/gbk_table.exe"}), dir.path(), 300000);
  ASSERT_EQ(0, wine_run.exit_code) << wine_run.err;
  std::string out = wine_run.out;
  out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
  std::istringstream a(linux_run.out), b(out);
  std::string la, lb;
  int differences = 0, lines = 0;
  std::ostringstream report;
  while (std::getline(a, la)) {
    ASSERT_TRUE(static_cast<bool>(std::getline(b, lb))) << "Windows output ends early";
    ++lines;
    if (la != lb && ++differences <= 20) report << "linux " << la << " | windows " << lb << "\n";
  }
  EXPECT_GT(lines, 80000);
  EXPECT_EQ(0, differences) << report.str();
}

}  // namespace
}  // namespace corvane::testing
