// Blocks over a real socket: the reading side against a raw peer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "support/sanitizer.h"
#include "test_peer.h"
#include "transport/errors.h"
#include "transport/socket_transport.h"
#include "wire_bytes.h"

namespace corvane::transport {
namespace {

using testing::Block;
using testing::Bytes;
using testing::Cat;
using testing::Le32;
using testing::RawPeer;

constexpr const char* kAddr = "127.0.0.10";

struct Link {
  RawPeer peer{kAddr, 211};
  TSocketTransport client;
  Link() {
    client.address = kAddr;
    client.port = 211;
  }
  void Open() {
    ASSERT_TRUE(peer.Listening());
    std::thread t([&] { peer.Accept(); });
    client.SetOpen(true);
    t.join();
  }
};

// What reading the block that the peer sends raises: "connection: " for
// an error that ends the connection, then the text.
std::string FetchError(const Bytes& bytes, bool close_after, int timeout_ms = -1) {
  Link l;
  l.client.io_timeout_ms = timeout_ms;
  l.Open();
  l.peer.Send(bytes);
  if (close_after) l.peer.CloseClient();
  try {
    l.client.FetchBlock(true, 0);
  } catch (const ESocketConnectionError& e) {
    return std::string("connection: ") + e.what();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

TEST(SocketBlocks, MalformedOrOversizedHeadersAreRefused) {
  EXPECT_EQ(FetchError(Le32(0x1202), false), "Invalid data packet");
  EXPECT_EQ(FetchError(Cat({Le32(0xDA02), Le32(0xFFFFFFFF)}), false), "connection: Invalid data packet");
  EXPECT_EQ(FetchError(Le32(0xDB04), true), "connection: Error reading from socket");
  EXPECT_EQ(FetchError(Cat({Le32(0xDB02), Le32(0x7FFFFFF0), {1, 2, 3}}), false),
            "connection: Data block of 2147483632 bytes exceeds the limit of 33554432 bytes");
  EXPECT_EQ(FetchError(Cat({Le32(0xDB02), Le32(kMaxBlockBodySize + 1)}), false),
            "connection: Data block of 33554433 bytes exceeds the limit of 33554432 bytes");
}

// Resident bytes of this process (0 where the figure is not available).
size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0, resident = 0;
  if (!(statm >> pages >> resident)) return 0;
  return resident * 4096;
}

// A peer announcing the largest block and streaming 30 MiB of it before
// dropping the connection: memory stays within a quarter above what has
// arrived (plus one read step), never a multiple of it.
TEST(SocketBlocks, MemoryFollowsWhatArrivesNotWhatIsAnnounced) {
  if (ResidentBytes() == 0) GTEST_SKIP() << "no resident memory figure here";
  if (corvane::testing::kAddressSanitizer) GTEST_SKIP() << "resident memory under AddressSanitizer";
  Link l;
  l.Open();
  const size_t before = ResidentBytes();
  size_t worst_excess = 0;
  std::thread sender([&] {
    l.peer.Send(Cat({Le32(0xDB02), Le32(kMaxBlockBodySize)}));
    const Bytes chunk(1 << 20, 0x5A);
    for (size_t sent = 1; sent <= 30; ++sent) {
      l.peer.Send(chunk);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      const size_t used = ResidentBytes() - before;
      const size_t allowed = sent * (1 << 20) * 5 / 4 + (2 << 20);
      if (used > allowed && used - allowed > worst_excess) worst_excess = used - allowed;
    }
    l.peer.CloseClient();
  });
  EXPECT_THROW(l.client.FetchBlock(true, 0), ESocketConnectionError);
  sender.join();
  EXPECT_EQ(0u, worst_excess);
}

// Blocks come back as sent, whole or in pieces; a written block carries
// its size.
TEST(SocketBlocks, BlocksBothWaysWholeAndInPieces) {
  Link l;
  l.Open();
  EXPECT_FALSE(l.client.FetchBlock(false, 0));  // nothing waiting: at once
  for (const Bytes& sent : {Block(0xDB02, {}), Block(0xDA02, {7, 8})}) {
    l.peer.Send(sent);
    DataBlockPtr b = l.client.FetchBlock(true, 0);
    ASSERT_TRUE(b);
    EXPECT_EQ(testing::Raw(*b), sent);
  }
  Bytes body(200000);
  for (size_t i = 0; i < body.size(); ++i) body[i] = uint8_t(i * 7);
  const Bytes all = Block(0xDB02, body);
  std::thread sender([&] {
    for (size_t i = 0; i < all.size(); i += 30001) {
      l.peer.Send(Bytes(all.begin() + i, all.begin() + std::min(all.size(), i + 30001)));
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  DataBlockPtr b = l.client.FetchBlock(true, 0);
  sender.join();
  ASSERT_TRUE(b);
  EXPECT_TRUE(testing::Raw(*b) == all);
  l.client.PutBlock(testing::BlockOf(Block(0xDA05, {1, 2, 3})));
  EXPECT_EQ(l.peer.Read(11), Block(0xDA05, {1, 2, 3}));
}

// With a time limit, a peer that never answers, one that goes silent in
// the middle of a block and one that trickles its block all end the read
// at the limit, as a broken connection.
TEST(SocketTimeLimits, SilentAndSlowPeersEndAtTheLimit) {
  for (const Bytes& sent : {Bytes{}, Cat({Le32(0xDB02), Le32(100), {1, 2}})}) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(FetchError(sent, false, 300), "connection: No answer from the server within 300 ms");
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_GE(spent, std::chrono::milliseconds(290));
    EXPECT_LT(spent, std::chrono::milliseconds(3000));
  }
  Link m;
  m.client.io_timeout_ms = 300;
  m.Open();
  std::thread trickle([&] {
    m.peer.Send(Cat({Le32(0xDB02), Le32(100)}));
    for (int i = 0; i < 30; ++i) {
      m.peer.Send(Bytes{1});
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(m.client.FetchBlock(true, 0), ESocketConnectionError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1200));
  trickle.join();
}

// No address at all fails before any socket; an address that does not
// parse, or a host that gives 0.0.0.0, fails the connect and never reaches
// a server of this machine (the listener's port is its own).
TEST(SocketBlocks, OpenWithoutAUsableAddressFails) {
  TSocketTransport none;
  try {
    none.SetOpen(true);
    ADD_FAILURE() << "opened without an address";
  } catch (const ESocketConnectionError& e) {
    EXPECT_STREQ(e.what(), "No address specified");
  }
  ASSERT_EQ(platform::SocketStartup(), 0);
  int error = 0;
  platform::SocketHandle listener = platform::ListenTcp("127.0.0.1", 0, 4, &error);
  ASSERT_NE(listener, platform::kNoSocket);
  for (const auto& [address, host] : {std::pair{"front.example", ""}, {"", "0.0.0.0"}}) {
    TSocketTransport t;
    t.address = address;
    t.host = host;
    t.port = platform::LocalPort(listener);
    try {
      t.SetOpen(true);
      ADD_FAILURE() << "connected through 0.0.0.0";
    } catch (const ESocketError& e) {
      EXPECT_EQ(e.api(), "connect");
    }
    EXPECT_FALSE(t.IsOpen());
  }
  EXPECT_EQ(platform::WaitReadable(listener, 100000), 0);  // no connection came in
  platform::CloseSocket(listener);
  platform::SocketCleanup();
}

}  // namespace
}  // namespace corvane::transport
