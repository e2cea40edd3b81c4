// The remote transaction call end to end: link-probe in a host directory
// of its own calls the front-end simulator (or a server of the test) on a
// loopback address, port 211.
#include <gtest/gtest.h>

#include <filesystem>
#include <chrono>
#include <sstream>
#include <thread>

#include "ftp_server.h"
#include "hostile_front_end.h"
#include "link_probe_runner.h"
#include "transport/test_peer.h"

namespace corvane::testing {
namespace {

using transport::Variant;
using transport::testing::AppServerPeer;

std::map<std::string, std::string> Trade(const LinkProbe& probe, int no, const std::string& serial,
                                         const std::string& request, const std::string& address,
                                         const std::string& local_ip = "10.0.0.1",
                                         const std::string& initial_reply = "untouched",
                                         const std::string& server = "FrontServer",
                                         const std::string& again = "") {
  std::vector<std::string> args = {"trade", std::to_string(no), serial, Hex(request), address, server,
                                   Hex(local_ip), Hex(initial_reply)};
  if (!again.empty()) args.push_back(Hex(again));
  auto out = probe.Run(args);
  EXPECT_EQ(out["exit"], "0") << out["stderr"];
  return out;
}

// The lines of the probe's daily log (without CR LF).
std::vector<std::string> LogLines(const LinkProbe& probe) {
  std::vector<std::string> lines;
  std::string dir = probe.HostFile("log1");
  if (!std::filesystem::is_directory(dir)) return lines;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::istringstream in(ReadFile(entry.path().string()));
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
  }
  return lines;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class Simulator {
 public:
  Simulator(const std::string& address, const std::string& scenario,
            const std::vector<std::string>& extra = {})
      : address_(address) {
    WriteFile(dir_ / "scenario.txt", scenario);
    std::vector<std::string> argv{BuildDir() + "/tools/frontend-sim/frontend-sim", "--listen",
                                  address, "--port", "211", "--scenario", dir_ / "scenario.txt"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    process_ = std::make_unique<BackgroundProcess>(argv, dir_.path(), dir_ / "sim.log");
    ready_ = WaitForPort(address, 211, 15000);
  }
  bool ready() const { return ready_; }
  std::string Log() const { return ReadFile(dir_ / "sim.log"); }

 private:
  std::string address_;
  TempDir dir_;
  std::unique_ptr<BackgroundProcess> process_;
  bool ready_ = false;
};

TEST(RemoteTradeThroughSimulator, PacketHeadersAndOneLogLinePairPerTransaction) {
  Simulator sim("127.0.0.62", "default = 0~accepted~whole\nreply 999 = 1~refused\n");
  ASSERT_TRUE(sim.ready());
  LinkProbe probe(ProbeKind::kLinux);
  const std::string ip = "       10.0.0.1";
  struct Case {
    int no;
    std::string serial, request, local_ip, packet;
    std::string result;
  } cases[] = {
      {21, "0", "~~~~~v", "10.0.0.1", "021" "00000000000000" "000006" + ip + "~~~~~~v", "0"},
      {999, "7", "ab", "10.0.0.1", "999" "00000000000007" "000002" + ip + "~ab", "1"},
      {203, "12.5", "x", "10.0.0.1", "203" "00000000000013" "000001" + ip + "~x", "0"},
      {203, "12.4", "x", "10.0.0.1", "203" "00000000000012" "000001" + ip + "~x", "0"},
      {202, "1", "", "10.0.0.1", "202" "00000000000001" "000000" + ip + "~", "0"},
      {202, "1", "医保", "10.0.0.1", "202" "00000000000001" "000004" + ip + "~医保", "0"},
      {202, "1", "r", "", "202" "00000000000001" "000001" + std::string(15, ' ') + "~r", "0"},
      {202, "1", "r", "1234567890abcde", "202" "00000000000001" "000001" "1234567890abcde~r", "0"},
  };
  size_t done = 0;
  for (const Case& c : cases) {
    auto out = Trade(probe, c.no, c.serial, c.request, "127.0.0.62", c.local_ip);
    EXPECT_EQ(out["result"], c.result) << c.packet;
    // The reply comes back whole (transaction 21 has the simulator's own).
    std::string reply = Unhex(out["reply"]);
    if (c.no != 21) {
      EXPECT_EQ(reply, c.no == 999 ? "1~refused" : "0~accepted~whole");
    }
    ++done;
    std::vector<std::string> lines = LogLines(probe);
    ASSERT_EQ(lines.size(), 2 * done);
    EXPECT_TRUE(EndsWith(lines[2 * done - 2], " $$IN $$" + c.packet)) << lines[2 * done - 2];
    EXPECT_TRUE(EndsWith(lines[2 * done - 1], " $$OUT$$" + reply)) << lines[2 * done - 1];
  }
  std::string log = sim.Log();
  EXPECT_NE(log.find("Transmit no=21 header[no=021 serial=00000000000000 len=000006"),
            std::string::npos) << log;
  EXPECT_NE(log.find("Transmit no=999 header[no=999 serial=00000000000007"), std::string::npos);
}

// A call that cannot connect fails after logging its packet, sets no error
// of its own, leaves the reply and notes a cause that names the front end
// and the reason: no address, nothing listening (on 127.0.0.163; .160 to
// .169 are the diagnostics tests'), a name under .invalid that never
// resolves, a server name that the front end refuses.
TEST(RemoteTradeCauses, FailuresToConnectNameTheFrontEndAndTheReason) {
  Simulator sim("127.0.0.63", "default = 0\n", {"--server", "FrontServer"});
  ASSERT_TRUE(sim.ready());
  LinkProbe probe(ProbeKind::kLinux);
  const struct {
    std::string address, server, cause, reason;
  } cases[] = {
      {"", "FrontServer", "front end (NativeAddress empty):211 server \"FrontServer\": cannot connect: ",
       "No address specified"},
      {"127.0.0.163", "FrontServer",
       "front end 127.0.0.163:211 server \"FrontServer\": cannot connect: Windows socket error: ",
       "on API 'connect'"},
      {"front.corvane.invalid", "FrontServer",
       "front end front.corvane.invalid:211 server \"FrontServer\": cannot connect: ",
       "host name 'front.corvane.invalid' not resolved"},
      {"127.0.0.63", "Elsewhere", "front end 127.0.0.63:211 server \"Elsewhere\": cannot connect: ",
       "Object not available: Elsewhere"},
  };
  size_t logged = 0;
  for (const auto& c : cases) {
    auto out = Trade(probe, 202, "1", "r", c.address, "10.0.0.1", "untouched", c.server);
    EXPECT_EQ(out["result"] + " " + out["error"] + " " + Unhex(out["reply"]), "-1 0 untouched") << c.address;
    const std::string cause = Unhex(out["causes"]);
    EXPECT_EQ(cause.find(c.cause), 0u) << cause;
    EXPECT_NE(cause.find(c.reason), std::string::npos) << cause;
    std::vector<std::string> lines = LogLines(probe);
    ASSERT_EQ(lines.size(), ++logged);
    EXPECT_NE(lines.back().find(" $$IN $$202"), std::string::npos);
  }
  EXPECT_EQ(Trade(probe, 202, "1", "r", "127.0.0.63")["result"], "0");
}

// The test server acts on the request text: "raise" raises with a text of
// its own, "ref" changes the number (to 201) and the local address, "null"
// and "array" answer values without a text form; anything else is accepted
// ("0").
int32_t ByRequest(std::vector<Variant>& args, Variant* result, transport::ExcepInfo* e) {
  const std::u16string packet = transport::VariantToWide(*args[1].ref);
  const std::u16string request = packet.substr(packet.find(u'~') + 1);
  if (request == u"raise") {
    e->description = u"交易服务暂停";
    return transport::kDISP_E_EXCEPTION;
  }
  if (request == u"ref") {
    *args[2].ref = Variant::I4(201);
    *args[0].ref = Variant::Str(u"192.168.9.9");
  }
  if (request == u"array") {
    auto texts = std::make_shared<transport::VariantArray>();
    texts->element_type = transport::vtBstr;
    texts->low = {0};
    texts->high = {0};
    texts->items = {Variant::Str(u"0")};
    *result = Variant::Array(texts);
    return transport::kS_OK;
  }
  *result = request == u"null" ? Variant::Null() : Variant::Str(request == u"ref" ? u"0~only~three" : u"0");
  return transport::kS_OK;
}

TEST(RemoteTradeWithTestServer, FailuresAndValuesOfTheServer) {
  AppServerPeer server("127.0.0.66", 211, "", ByRequest);
  ASSERT_TRUE(server.Listening());
  // An unwritable log stops the call before any connection.
  LinkProbe blocked(ProbeKind::kLinux);
  WriteFile(blocked.HostFile("log1"), "a file where the log directory belongs");
  auto out = Trade(blocked, 202, "1", "r", "127.0.0.66");
  EXPECT_EQ(out["result"], "-1");
  EXPECT_EQ(Unhex(out["reply"]), "untouched");
  EXPECT_EQ(server.connections(), 0);
  EXPECT_NE(Unhex(out["causes"]).find("daily log "), std::string::npos) << Unhex(out["causes"]);

  // An error raised during Transmit gives -7006 with the server's text;
  // the next call of the same process ("again") opens a fresh connection.
  LinkProbe probe(ProbeKind::kLinux);
  out = Trade(probe, 202, "1", "raise", "127.0.0.66", "10.0.0.1", "untouched", "FrontServer", "r");
  EXPECT_EQ(out["result"] + " " + out["error"] + " " + Unhex(out["reply"]), "-1 -7006 untouched");
  std::string message = Unhex(out["message"]);
  EXPECT_NE(message.find("交易服务暂停"), std::string::npos) << message;
  const std::string cause = Unhex(out["causes"]);
  EXPECT_EQ(cause.find("front end 127.0.0.66:211 server \"FrontServer\": Transmit failed: "), 0u) << cause;
  EXPECT_NE(cause.find("交易服务暂停"), std::string::npos) << cause;
  EXPECT_EQ(out["again"], "0");
  EXPECT_EQ(server.calls(), 2);
  EXPECT_EQ(server.connections(), 2);

  // Values returned by reference replace the caller's copies: sent as 202
  // (no download), checked as 201, whose download field 4 is missing.
  out = Trade(probe, 202, "1", "ref", "127.0.0.66");
  EXPECT_EQ(out["result"] + " " + out["error"] + " " + Unhex(out["reply"]), "-1 -7035 0~only~three");
  EXPECT_EQ(Unhex(out["localip"]), "192.168.9.9");

  // A result without a text form gives -7006.
  for (const char* request : {"null", "array"}) {
    out = Trade(probe, 202, "1", request, "127.0.0.66");
    EXPECT_EQ(out["result"] + " " + out["error"] + " " + Unhex(out["reply"]), "-1 -7006 untouched")
        << request;
  }
}

TEST(RemoteTradeAtTheEdges, HugeServerErrorTextIsCappedInTheMessageAndKeptWhole) {
  ExpectHugeServerErrorTextCappedAndKeptWhole(LinkProbe(ProbeKind::kLinux), "127.0.0.31");
}

// A front end that accepts and never answers: with ReplyTimeout the call
// fails at the limit like a broken connection (-7006).
TEST(RemoteTradeAtTheEdges, SilentFrontEndFailsAtTheReplyLimit) {
  auto answer_late = [](std::vector<Variant>&, Variant* result, transport::ExcepInfo*) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    *result = Variant::Str(u"0~late");
    return transport::kS_OK;
  };
  AppServerPeer server("127.0.0.32", 211, "", answer_late);
  ASSERT_TRUE(server.Listening());
  LinkProbe probe(ProbeKind::kLinux);
  WriteFile(probe.HostFile("TradeCfg.ini"), "[SYSTEM]\r\nReplyTimeout=500\r\n");
  const auto start = std::chrono::steady_clock::now();
  auto out = Trade(probe, 202, "1", "r", "127.0.0.32");
  const auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(out["result"] + " " + out["error"] + " " + Unhex(out["reply"]), "-1 -7006 untouched");
  EXPECT_NE(Unhex(out["message"]).find("No answer from the server within 500 ms"),
            std::string::npos) << Unhex(out["message"]);
  EXPECT_LT(spent, std::chrono::milliseconds(2400));
}

}  // namespace
}  // namespace corvane::testing
