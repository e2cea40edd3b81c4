// The remote transaction call of a Windows build's link-probe under Wine
// (a run per Windows build): a refused connection names Winsock's error.
#include <gtest/gtest.h>

#include "link_probe_runner.h"

namespace corvane::testing {
namespace {

// Nothing listens on 127.0.0.164 (127.0.0.160 to .169 are the diagnostics
// tests'): both runs may connect there at once.
TEST(RemoteTradeCauses, RefusedConnectionUnderWineCarriesTheWinsockError) {
  LinkProbe probe(ProbeKind::kWine);
  if (!probe.available()) GTEST_SKIP() << "the Windows build of link-probe is not available";
  auto refused = probe.Run({"trade", "202", "1", Hex("r"), "127.0.0.164", "FrontServer",
                            Hex("10.0.0.1"), Hex("before")});
  EXPECT_EQ(refused["exit"], "0") << refused["stderr"];
  EXPECT_EQ(refused["result"], "-1");
  const std::string cause = Unhex(refused["causes"]);
  EXPECT_EQ(cause.find("front end 127.0.0.164:211 server \"FrontServer\": cannot connect: "
                       "Windows socket error: "), 0u) << cause;
  EXPECT_NE(cause.find("(10061), on API 'connect'"), std::string::npos) << cause;
}

}  // namespace
}  // namespace corvane::testing
