// A hostile front end in a whole session.  Whatever it sends in place of
// an answer, the host gets an error reply (or the answer, when one comes
// at last), the host program's memory stays bounded, the journal keeps the
// transaction with the state of its remote call, and the next transaction
// reports it (transaction 49) and works.
#include "flow/flow_fixture.h"

#include <chrono>
#include <cstdio>

#include "platform/socket.h"
#include "support/sanitizer.h"

namespace corvane::flowtest {
namespace {

// Far above what a session takes here (a few MiB besides one 32 MiB
// block), far below what a value decoded without limits would take.
constexpr long kPeakBoundKb = 192 * 1024;

class HostileFrontEnd : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    Answer(21, InitReply({ParamLine(33, 6, Flags("0000001")), ParamLine(31, 6, Flags("0000001"))}));
    Answer(33, "0~ok33~0~f4~f5~f6~x");
    Answer(31, "0~ok31~0~f4~f5~f6~x");
    Answer(49, "0~noted");
  }

  // Transaction 33 (serial 1) meets the hostile front end; 31 (serial 2)
  // follows in the same session.
  std::vector<Reply> RunTwo() {
    auto r = Session({{"apply", "33", "1", kRequest}, {"apply", "31", "2", kRequest}});
    // Under AddressSanitizer the host's resident memory is no measure.
    if (!corvane::testing::kAddressSanitizer) {
      EXPECT_LT(last_host_peak_kb_, kPeakBoundKb) << "host's largest resident set in KiB";
    }
    return r;
  }

  // The second transaction first reported the first one with the state of
  // its remote call, then went through and is the one journalled now.
  void ExpectReportedThenDone(const Reply& second, const std::string& first_state) {
    EXPECT_EQ(Ok("$$0~ok31~0~f4~f5~x$$"), second);
    auto reports = CallsOf(49);
    ASSERT_EQ(1u, reports.size());
    EXPECT_EQ("~~~~33~1~~~" + first_state + "~~~", reports[0].request);
    EXPECT_EQ("31|2|1|", Pending());
  }

  const std::string failed_ = ApplyError(":011", -7204);
};

struct Misdeed {
  const char* what;
  std::string scenario_line;  // about transaction 33
  int reply_timeout_ms;       // 0: none
  bool answered;              // the reply comes after all
};

TEST_F(HostileFrontEnd, ValuesAndRequestsInPlaceOfAnAnswer) {
  const Misdeed misdeeds[] = {
      {"a text behind 100 000 by-reference variant words",
       "raw-result 33 = 00400000*100000 08000000 02000000 6F006B00", 0, false},
      {"an array announcing 2^31 integers in 24 bytes",
       "raw-result 33 = 03200000 01000000 00000000 FFFFFF7F 00000000", 0, false},
      {"an array announcing 2^32 variants in two dimensions",
       "raw-result 33 = 0C200000 02000000 00000000 00000000 FFFF0000 FFFF0000", 0, false},
      {"an array of 8 million empty variants in a block of 32 MiB",
       "raw-result 33 = 0C200000 01000000 01000000 00FC7F00 00000000*8387584", 0, false},
      {"20 000 requests of its own before the reply", "requests 33 = 20000", 0, true},
      {"1000 requests of 1 MiB each before the reply", "requests 33 = 1000 pad=524288", 0, true},
      {"requests without end, reply limit 2 s", "requests 33 = -1", 2000, false},
      {"one request, then silence, reply limit 2 s", "requests 33 = 1 silent", 2000, false},
  };
  for (const Misdeed& m : misdeeds) {
    SCOPED_TRACE(m.what);
    const auto start = std::chrono::steady_clock::now();
    TearDown();
    SetUp();
    front_->AddLine(m.scenario_line);
    if (m.reply_timeout_ms) SetIni("TradeCfg.ini", "SYSTEM", "ReplyTimeout", std::to_string(m.reply_timeout_ms));
    auto r = RunTwo();
    ASSERT_EQ(2u, r.size()) << last_host_output_;
    EXPECT_EQ(m.answered ? "$$0~ok33~0~f4~f5~x$$" : failed_, r[0].text);
    ExpectReportedThenDone(r[1], m.answered ? "1" : "2");
    std::printf("%s: %.1f s, host's peak %ld KiB\n", m.what,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                last_host_peak_kb_);
  }
}

// The front end closes the connection of transaction 33 after its k-th
// block, counting both ways: 1 create-object, 2 its reply, 3 name lookup,
// 4 its reply, 5 "Transmit", 6 its reply, 7 free-object (0: at once).
class DroppingFrontEnd : public HostileFrontEnd, public ::testing::WithParamInterface<int> {};

TEST_P(DroppingFrontEnd, ClosingAfterEachBlock) {
  const int k = GetParam();
  // Connection 1 is the test's probe of the port, 2 the session start.
  front_->AddLine("drop = 3 " + std::to_string(k));
  auto r = RunTwo();
  ASSERT_EQ(2u, r.size()) << last_host_output_;
  const bool answered = k >= 6;
  EXPECT_EQ(answered ? "$$0~ok33~0~f4~f5~x$$" : failed_, r[0].text);
  EXPECT_EQ(answered ? 1u : 0u, CallsOf(33).size());
  ExpectReportedThenDone(r[1], answered ? "1" : "2");
}

// A listener whose queue of connections is full: the system drops further
// connection requests unanswered, as a front end behind a filter would.
class UnansweringFrontEnd {
 public:
  explicit UnansweringFrontEnd(const std::string& address) {
    namespace p = corvane::platform;
    p::SocketStartup();
    int error = 0;
    uint32_t ip = 0;
    listener_ = p::ListenTcp(address, 211, 0, &error);
    if (listener_ == p::kNoSocket || !p::ParseIpv4(address, &ip)) return;
    // Connect until an attempt no longer completes within 300 ms.
    for (int i = 0; i < 8 && !dropping_; ++i) {
      queued_.push_back(p::CreateTcpSocket());
      dropping_ = p::ConnectSocket(queued_.back(), ip, 211, 300) != 0;
    }
  }
  ~UnansweringFrontEnd() {
    for (auto s : queued_) corvane::platform::CloseSocket(s);
    corvane::platform::CloseSocket(listener_);
    corvane::platform::SocketCleanup();
  }
  bool Dropping() const { return dropping_; }

 private:
  corvane::platform::SocketHandle listener_ = corvane::platform::kNoSocket;
  std::vector<corvane::platform::SocketHandle> queued_;
  bool dropping_ = false;
};

// Without ConnectTimeout the session start would wait for the system's own
// limit (about two minutes here, beyond the host's run); with it, it fails
// as an unreachable front end, the connect's error in the diagnostics log.
TEST_F(HostileFrontEnd, ConnectTimeLimitEndsAConnectionNeverAccepted) {
  UnansweringFrontEnd front(address_);
  if (!front.Dropping()) GTEST_SKIP() << "this system answers connection requests to a full queue";
  SetIni("TradeCfg.ini", "SYSTEM", "ConnectTimeout", "1000");
  auto r = Host({{"init"}});
  EXPECT_EQ(InitError(":004", -7104), r[0].text);
  const std::string diagnostics = DiagnosticsLog();
  EXPECT_NE(std::string::npos, diagnostics.find(address_ + ":211")) << diagnostics;
  EXPECT_NE(std::string::npos, diagnostics.find("on API 'connect'")) << diagnostics;
}

INSTANTIATE_TEST_SUITE_P(EveryBlock, DroppingFrontEnd, ::testing::Range(0, 8));

}  // namespace
}  // namespace corvane::flowtest
