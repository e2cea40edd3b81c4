// The simulator under load, and its scenario rules.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/text.h"
#include "scenario.h"
#include "sim_server.h"
#include "transport/late_call.h"
#include "transport/socket_connection.h"

namespace {

using namespace corvane::transport;

TEST(Scenario, SequencesDefaultsAndDefinitions) {
  frontend_sim::Scenario s;
  std::string err;
  ASSERT_TRUE(s.Parse("# c\nserver = A\nreply 5 = one\nreply 5 = two \ndefault = d\ndefinition = 21,1\n"
                      "definition = 22,0\n", &err)) << err;
  EXPECT_EQ(s.ReplyFor(5, 0), "one");
  EXPECT_EQ(s.ReplyFor(5, 1), "two ");
  EXPECT_EQ(s.ReplyFor(5, 9), "two ");
  EXPECT_EQ(s.ReplyFor(6, 0), "d");
  EXPECT_EQ(s.ReplyFor(21, 0), "0~~~~~~~21,1%%22,0~0");
  EXPECT_TRUE(s.Accepts("A"));
  EXPECT_FALSE(s.Accepts("B"));
  EXPECT_FALSE(s.Parse("reply x = 1\n", &err));
  EXPECT_FALSE(s.Parse("nonsense\n", &err));
}

TEST(Simulator, TwoHundredConcurrentClients) {
  frontend_sim::Scenario s;
  std::string err;
  // Scenario texts are UTF-8.
  ASSERT_TRUE(s.Parse(u8"server = FrontServer\nreply 201 = 0~成功\n", &err));
  frontend_sim::SimServer sim(s, nullptr);
  ASSERT_TRUE(sim.Start("127.0.0.19", 211, &err)) << err;
  constexpr int kClients = 200;
  std::vector<std::unique_ptr<TSocketConnection>> conns(kClients);
  std::atomic<int> ok{0};
  std::vector<std::thread> threads;
  // Every connection is opened first, so all 200 are served at once.
  for (int i = 0; i < kClients; ++i) {
    threads.emplace_back([&, i] {
      conns[i] = std::make_unique<TSocketConnection>();
      conns[i]->SetHost("127.0.0.19");
      conns[i]->SetServerName("FrontServer");
      try {
        conns[i]->SetConnected(true);
      } catch (...) {
      }
    });
  }
  for (auto& t : threads) t.join();
  threads.clear();
  for (int i = 0; i < kClients; ++i) ASSERT_TRUE(conns[i]->Connected()) << i;
  EXPECT_GE(sim.Sessions(), kClients);
  for (int i = 0; i < kClients; ++i) {
    threads.emplace_back([&, i] {
      int32_t no = 201;
      std::string packet = "p" + std::to_string(i), ip = "1.1.1.1";
      std::vector<CallArg> args = {CallArg::IntRef(&no), CallArg::AnsiTextRef(&packet), CallArg::AnsiTextRef(&ip)};
      try {
        Variant r = DispatchCall(conns[i]->AppServer(), "Transmit", args);
        if (corvane::platform::WideToAnsi(VariantToWide(r)) == "0~成功") ++ok;
      } catch (...) {
      }
      conns[i]->SetConnected(false);
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(ok, kClients);
  conns.clear();
  sim.Stop();
}

}  // namespace
