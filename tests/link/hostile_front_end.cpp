#include "hostile_front_end.h"

#include <gtest/gtest.h>

#include "transport/test_peer.h"

namespace corvane::testing {

void ExpectHugeServerErrorTextCappedAndKeptWhole(const LinkProbe& probe,
                                                 const std::string& address) {
  auto raise_huge_text = [](std::vector<transport::Variant>&, transport::Variant*, transport::ExcepInfo* e) {
    e->description = std::u16string(8 << 20, u'x');
    return transport::kDISP_E_EXCEPTION;
  };
  transport::testing::AppServerPeer server(address, 211, "", raise_huge_text);
  ASSERT_TRUE(server.Listening());
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
  EXPECT_LT(causes.size(), 4096u + 200u);
  const size_t at = causes.find("kept whole in log1/CorvaneCause");
  ASSERT_NE(at, std::string::npos) << causes.substr(causes.size() > 200 ? causes.size() - 200 : 0);
  const size_t name = causes.find("log1/", at);
  const std::string file = causes.substr(name, causes.find(".txt", name) + 4 - name);
  const std::string whole = ReadFile(probe.HostFile(file));
  EXPECT_EQ(whole.find("front end " + address + ":211 server \"FrontServer\": Transmit failed: "),
            0u);
  EXPECT_NE(whole.find(std::string(8 << 20, 'x')), std::string::npos);
}

}  // namespace corvane::testing
