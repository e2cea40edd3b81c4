// The socket connection with its worker, against real servers.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/text.h"
#include "test_peer.h"
#include "transport/errors.h"
#include "transport/late_call.h"
#include "transport/socket_connection.h"
#include "transport/value_codec.h"

namespace corvane::transport {
namespace {

using testing::AppServerPeer;
using testing::Block;
using testing::Bytes;
using testing::Cat;
using testing::I4Rec;
using testing::Le32;
using testing::RawPeer;
using Clock = std::chrono::steady_clock;

void Point(TSocketConnection& c, const char* addr, const char* name) {
  c.SetHost(addr);
  c.SetPort(211);
  c.SetServerName(name);
}

// What a call raised: the error's kind and text ("returned" when it did not raise).
template <class Call>
std::string Raised(Call call) {
  try {
    call();
  } catch (const ESocketError& e) {
    return "socket error on " + e.api() + ": " + e.what();
  } catch (const ESocketConnectionError& e) {
    return std::string("connection: ") + e.what();
  } catch (const ETransportError& e) {
    return e.what();
  }
  return "returned";
}

TEST(SocketConnection, HostAndAddressExcludeEachOtherAndIdentifiersAreChecked) {
  TSocketConnection c;
  EXPECT_FALSE(c.Connected());
  EXPECT_EQ(c.Port(), 211);
  c.SetAddress("1.2.3.4");
  c.SetHost("front");
  EXPECT_EQ(c.Address(), "");
  c.SetAddress("1.2.3.4");
  EXPECT_EQ(c.Host(), "");
  EXPECT_EQ(c.ServerGUID(), "");
  c.SetServerGUID("{00112233-4455-6677-8899-AABBCCDDEEFF}");
  EXPECT_EQ(c.ServerGUID(), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
  EXPECT_EQ(Raised([&] { c.SetServerGUID("{bad}"); }), "'{bad}' is not a valid GUID value");
}

TEST(SocketConnection, TransmitEndToEndAndOneFreeObject) {
  AppServerPeer server("127.0.0.11", 211, "FrontServer");
  ASSERT_TRUE(server.Listening());
  TSocketConnection c;
  Point(c, "127.0.0.11", "FrontServer");
  c.SetConnected(true);
  c.SetConnected(true);  // opens once
  ASSERT_TRUE(c.Connected());
  int32_t trade = 21;
  std::string packet = "021~请求";
  std::string local = "192.168.0.1";
  {
    std::vector<CallArg> args = {CallArg::IntRef(&trade), CallArg::AnsiTextRef(&packet),
                                 CallArg::AnsiTextRef(&local)};
    Variant result = DispatchCall(c.AppServer(), "Transmit", args);
    EXPECT_EQ(platform::WideToAnsi(VariantToWide(result)), "0~021~请求");
  }
  EXPECT_EQ(trade, 22);
  EXPECT_EQ(local, "back");
  EXPECT_EQ(packet, "021~请求");
  c.SetConnected(false);
  c.SetConnected(false);  // nothing
  EXPECT_FALSE(c.Connected());
  ASSERT_TRUE(server.WaitReceived(0xDA05, 1, 2000));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  for (uint32_t signature : {0xDA04, 0xDA03, 0xDA02, 0xDA05}) EXPECT_EQ(server.Received(signature), 1);
  EXPECT_EQ(server.ReceivedTotal(), 4);
  // Opens again with a new worker and a new object.
  c.SetConnected(true);
  EXPECT_TRUE(c.Connected());
  c.SetConnected(false);
  EXPECT_EQ(server.Received(0xDA04), 2);
}

// Each failure to connect raises its own error and leaves no worker.
TEST(SocketConnection, FailuresToConnect) {
  TSocketConnection nameless;
  nameless.SetHost("127.0.0.13");
  EXPECT_EQ(Raised([&] { nameless.SetConnected(true); }),
            "Cannot connect,  must contain a valid ServerName or ServerGUID");
  TSocketConnection no_address;
  no_address.SetServerName("X");
  EXPECT_EQ(Raised([&] { no_address.SetConnected(true); }), "connection: No address specified");
  EXPECT_FALSE(no_address.HasWorker());

  TSocketConnection nobody;
  Point(nobody, "127.0.0.12", "FrontServer");
  const auto start = Clock::now();
  const std::string refused = Raised([&] { nobody.SetConnected(true); });
  EXPECT_EQ(refused.find("socket error on connect: Windows socket error: "), 0u) << refused;
  EXPECT_NE(refused.find("on API 'connect'"), std::string::npos) << refused;
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_FALSE(nobody.Connected());
  EXPECT_FALSE(nobody.HasWorker());

  AppServerPeer server("127.0.0.14", 211, "FrontServer");
  server.create_error = "Object not available: Nope";
  TSocketConnection refusing;
  Point(refusing, "127.0.0.14", "Nope");
  EXPECT_EQ(Raised([&] { refusing.SetConnected(true); }), "Object not available: Nope");
  EXPECT_FALSE(refusing.Connected());
}

TEST(SocketConnection, RemoteExceptionAndUnknownMethod) {
  AppServerPeer server("127.0.0.15", 211, "FrontServer");
  TSocketConnection c;
  Point(c, "127.0.0.15", "FrontServer");
  c.SetConnected(true);
  std::vector<CallArg> none;
  EXPECT_EQ(Raised([&] { DispatchCall(c.AppServer(), "Fail", none); }), "服务端故障");
  EXPECT_EQ(Raised([&] { DispatchCall(c.AppServer(), "Other", none); }),
            "Method 'Other' not supported by automation object");
  c.SetConnected(false);
}

TEST(SocketConnection, RequestOfTheServerDuringAWaitIsAnsweredFirst) {
  RawPeer peer("127.0.0.16", 211);
  ASSERT_TRUE(peer.Listening());
  std::thread server([&] {
    peer.Accept();
    EXPECT_EQ(peer.ReadBlock()[0], 0x04);  // create-object
    peer.Send(Block(0xDA12, {}));          // the server asks first
    EXPECT_EQ(peer.ReadBlock(), Block(0xDB12, Le32(1)));  // Null
    peer.Send(Block(0xDB04, Cat({Le32(9), Le32(3)})));
    EXPECT_EQ(peer.ReadBlock(), Block(0xDA05, I4Rec(3)));
  });
  TSocketConnection c;
  Point(c, "127.0.0.16", "FrontServer");
  c.SetConnected(true);
  EXPECT_TRUE(c.Connected());
  c.SetConnected(false);
  server.join();
}

// A server that answers the create-object request, reads `reads` more
// blocks and closes.
void AnswerOnceThenClose(RawPeer& peer, int reads) {
  peer.Accept();
  peer.ReadBlock();
  peer.Send(Block(0xDB04, Cat({Le32(9), Le32(1)})));
  for (int i = 0; i < reads; ++i) peer.ReadBlock();
  peer.CloseClient();
}

TEST(SocketConnection, ServerClosingEndsTheConnection) {
  RawPeer peer("127.0.0.17", 211);
  std::thread server([&] { AnswerOnceThenClose(peer, 0); });
  TSocketConnection c;
  Point(c, "127.0.0.17", "FrontServer");
  c.SetConnected(true);
  server.join();
  // The worker ends on its own; the connection notices and closes.
  auto until = Clock::now() + std::chrono::seconds(3);
  while (c.Connected() && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(c.Connected());
  EXPECT_FALSE(c.HasWorker());
}

TEST(SocketConnection, CallAfterTheServerWentAwayFailsInsteadOfHanging) {
  RawPeer peer("127.0.0.18", 211);
  std::thread server([&] { AnswerOnceThenClose(peer, 1); });  // reads the name lookup
  TSocketConnection c;
  Point(c, "127.0.0.18", "FrontServer");
  c.SetConnected(true);
  std::vector<CallArg> none;
  EXPECT_THROW(DispatchCall(c.AppServer(), "Transmit", none), ESocketConnectionError);
  server.join();
  // A second call finds no worker and fails at once.
  EXPECT_THROW(DispatchCall(c.AppServer(), "Transmit", none), ETransportError);
  auto start = Clock::now();
  c.SetConnected(false);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
}

}  // namespace
}  // namespace corvane::transport
