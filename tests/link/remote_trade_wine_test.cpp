// The remote transaction call of a Windows build's link-probe under Wine
// (a run per Windows build): a refused connection names Winsock's error; a
// hostile front end's huge error text fits the i686 product's 2 GB.
#include <gtest/gtest.h>

#include "hostile_front_end.h"
#include "link_probe_runner.h"

namespace corvane::testing {
namespace {

// Nothing listens on WineAddress(123) (127.0.0.123, .251 in the win32 run):
// the example hosts' front ends take 127.0.0.160 to .164.
TEST(RemoteTradeCauses, RefusedConnectionUnderWineCarriesTheWinsockError) {
  LinkProbe probe(ProbeKind::kWine);
  if (!probe.available()) GTEST_SKIP() << "the Windows build of link-probe is not available";
  const std::string address = WineAddress(123);
  auto refused = probe.Run({"trade", "202", "1", Hex("r"), address, "FrontServer",
                            Hex("10.0.0.1"), Hex("before")});
  EXPECT_EQ(refused["exit"], "0") << refused["stderr"];
  EXPECT_EQ(refused["result"], "-1");
  const std::string cause = Unhex(refused["causes"]);
  EXPECT_EQ(cause.find("front end " + address + ":211 server \"FrontServer\": cannot connect: "
                       "Windows socket error: "), 0u) << cause;
  EXPECT_NE(cause.find("(10061), on API 'connect'"), std::string::npos) << cause;
}

TEST(RemoteTradeAtTheEdges, HugeServerErrorTextIsCappedInTheMessageAndKeptWholeUnderWine) {
  LinkProbe probe(ProbeKind::kWine);
  if (!probe.available()) GTEST_SKIP() << "the Windows build of link-probe is not available";
  ExpectHugeServerErrorTextCappedAndKeptWhole(probe, WineAddress(124));
}

}  // namespace
}  // namespace corvane::testing
