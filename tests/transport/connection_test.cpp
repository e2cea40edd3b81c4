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
using testing::Bytes;
using testing::Cat;
using testing::Le32;
using testing::RawPeer;
using Clock = std::chrono::steady_clock;

void Point(TSocketConnection& c, const char* addr, const char* name) {
  c.SetHost(addr);
  c.SetPort(211);
  c.SetServerName(name);
  c.SetServerGUID("");
}

TEST(SocketConnection, Defaults) {
  TSocketConnection c;
  EXPECT_FALSE(c.Connected());
  EXPECT_EQ(c.Port(), 211);
  EXPECT_EQ(c.ServerGUID(), "");
  c.SetAddress("1.2.3.4");
  c.SetHost("front");
  EXPECT_EQ(c.Address(), "");
  c.SetAddress("1.2.3.4");
  EXPECT_EQ(c.Host(), "");
  c.SetServerGUID("{00112233-4455-6677-8899-AABBCCDDEEFF}");
  EXPECT_EQ(c.ServerGUID(), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
  EXPECT_THROW(c.SetServerGUID("{bad}"), ETransportError);
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
  EXPECT_EQ(server.Received(0xDA04), 1);
  EXPECT_EQ(server.Received(0xDA03), 1);
  EXPECT_EQ(server.Received(0xDA02), 1);
  EXPECT_EQ(server.Received(0xDA05), 1);
  EXPECT_EQ(server.ReceivedTotal(), 4);
  // Opens again with a new worker and a new object.
  c.SetConnected(true);
  EXPECT_TRUE(c.Connected());
  c.SetConnected(false);
  EXPECT_EQ(server.Received(0xDA04), 2);
}

TEST(SocketConnection, ServerNotListeningFailsFastWithConnectError) {
  TSocketConnection c;
  Point(c, "127.0.0.12", "FrontServer");
  auto start = Clock::now();
  try {
    c.SetConnected(true);
    FAIL();
  } catch (const ESocketError& e) {
    EXPECT_EQ(e.api(), "connect");
    EXPECT_NE(std::string(e.what()).find("Windows socket error: "), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("on API 'connect'"), std::string::npos);
  }
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_FALSE(c.Connected());
  EXPECT_FALSE(c.HasWorker());
}

TEST(SocketConnection, FailuresBeforeAnySocket) {
  TSocketConnection c;
  c.SetHost("127.0.0.13");
  try {
    c.SetConnected(true);
    FAIL();
  } catch (const ETransportError& e) {
    EXPECT_STREQ(e.what(), "Cannot connect,  must contain a valid ServerName or ServerGUID");
  }
  TSocketConnection d;
  d.SetServerName("X");
  try {
    d.SetConnected(true);
    FAIL();
  } catch (const ESocketConnectionError& e) {
    EXPECT_STREQ(e.what(), "No address specified");
  }
  EXPECT_FALSE(d.HasWorker());
}

TEST(SocketConnection, ServerRefusingTheObject) {
  AppServerPeer server("127.0.0.14", 211, "FrontServer");
  server.create_error = "Object not available: Nope";
  TSocketConnection c;
  Point(c, "127.0.0.14", "Nope");
  try {
    c.SetConnected(true);
    FAIL();
  } catch (const ETransportError& e) {
    EXPECT_STREQ(e.what(), "Object not available: Nope");
  }
  EXPECT_FALSE(c.Connected());
}

TEST(SocketConnection, RemoteExceptionAndUnknownMethod) {
  AppServerPeer server("127.0.0.15", 211, "FrontServer");
  TSocketConnection c;
  Point(c, "127.0.0.15", "FrontServer");
  c.SetConnected(true);
  std::vector<CallArg> none;
  try {
    DispatchCall(c.AppServer(), "Fail", none);
    FAIL();
  } catch (const EOleException& e) {
    EXPECT_EQ(std::string(e.what()), "服务端故障");
  }
  try {
    DispatchCall(c.AppServer(), "Other", none);
    FAIL();
  } catch (const EOleSysError& e) {
    EXPECT_STREQ(e.what(), "Method 'Other' not supported by automation object");
  }
  c.SetConnected(false);
}

TEST(SocketConnection, RequestOfTheServerDuringAWaitIsAnsweredFirst) {
  RawPeer peer("127.0.0.16", 211);
  ASSERT_TRUE(peer.Listening());
  std::thread server([&] {
    peer.Accept();
    Bytes create = peer.ReadBlock();
    ASSERT_EQ(create[0], 0x04);
    peer.Send(Cat({Le32(0xDA12), Le32(0)}));         // the server asks first
    Bytes answer = peer.ReadBlock();
    EXPECT_EQ(answer, (Bytes{0x12, 0xDB, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0}));  // Null
    peer.Send(Cat({Le32(0xDB04), Le32(8), Le32(9), Le32(3)}));
    Bytes free_object = peer.ReadBlock();
    EXPECT_EQ(free_object, Cat({Le32(0xDA05), Le32(8), Le32(3), Le32(3)}));
  });
  TSocketConnection c;
  Point(c, "127.0.0.16", "FrontServer");
  c.SetConnected(true);
  EXPECT_TRUE(c.Connected());
  c.SetConnected(false);
  server.join();
}

TEST(SocketConnection, ServerClosingEndsTheConnection) {
  RawPeer peer("127.0.0.17", 211);
  std::thread server([&] {
    peer.Accept();
    peer.ReadBlock();
    peer.Send(Cat({Le32(0xDB04), Le32(8), Le32(9), Le32(1)}));
    peer.CloseClient();
  });
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
  std::thread server([&] {
    peer.Accept();
    peer.ReadBlock();
    peer.Send(Cat({Le32(0xDB04), Le32(8), Le32(9), Le32(1)}));
    peer.ReadBlock();  // the name lookup
    peer.CloseClient();
  });
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
