// The remote transaction call of a Windows build's link-probe under Wine
// (a run per Windows build): a refused connection names Winsock's error; a
// hostile front end's huge error text fits the i686 product's 2 GB.
#include <gtest/gtest.h>

#include "link_probe_runner.h"
#include "test_front_end.h"

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

// A hostile front end: a 16 MB (8 Mi characters) error text is quoted in
// 512 bytes of the -7006 message; the diagnostics line keeps its first
// 4 KiB and names the file under log1/ that keeps it whole.
TEST(RemoteTradeAtTheEdges, HugeServerErrorTextIsCappedInTheMessageUnderWine) {
  LinkProbe probe(ProbeKind::kWine);
  if (!probe.available()) GTEST_SKIP() << "the Windows build of link-probe is not available";
  const std::string address = WineAddress(124);
  TestFrontEnd server(address, [](std::vector<transport::Variant>&, transport::Variant*,
                                  transport::ExcepInfo* e) {
    e->description = std::u16string(8 << 20, u'x');
    return transport::kDISP_E_EXCEPTION;
  });
  ASSERT_TRUE(server.ready());
  auto out = probe.Run({"trade", "202", "1", Hex("r"), address, "FrontServer", Hex("10.0.0.1"),
                        Hex("untouched")});
  EXPECT_EQ(out["exit"], "0") << out["stderr"];
  EXPECT_EQ(out["result"], "-1");
  EXPECT_EQ(out["error"], "-7006");
  const std::string message = Unhex(out["message"]);
  EXPECT_LT(message.size(), 1024u);
  EXPECT_NE(message.find(std::string(512, 'x') + "..."), std::string::npos);
  const std::string causes = Unhex(out["causes"]);
  EXPECT_NE(causes.find(std::string(2048, 'x')), std::string::npos);
  // The whole text is kept in the file that the line names.
  const size_t at = causes.find("kept whole in log1/CorvaneCause");
  ASSERT_NE(at, std::string::npos) << causes.substr(causes.size() > 200 ? causes.size() - 200 : 0);
  const size_t name = causes.find("log1/", at);
  const std::string file = causes.substr(name, causes.find(".txt", name) + 4 - name);
  EXPECT_NE(ReadFile(probe.HostFile(file)).find(std::string(8 << 20, 'x')), std::string::npos);
}

}  // namespace
}  // namespace corvane::testing
