#include "block_replay.h"

#include <utility>

#include "mailbox.h"
#include "platform/thread.h"
#include "transport/transport_thread.h"

namespace corvane::bench {
namespace {

bool ReadExactly(platform::SocketHandle s, char* p, size_t count) {
  while (count > 0) {
    long n = platform::ReceiveSome(s, p, count);
    if (n <= 0) {
      if (n < 0 && platform::IsWouldBlock(platform::LastSocketError())) continue;
      return false;
    }
    p += n;
    count -= static_cast<size_t>(n);
  }
  return true;
}

platform::SocketHandle Connect(const std::string& address, uint16_t port) {
  uint32_t ip = 0;
  if (!platform::ParseIpv4(address, &ip)) return platform::kNoSocket;
  platform::SocketHandle s = platform::CreateTcpSocket();
  if (s == platform::kNoSocket) return s;
  if (platform::ConnectSocket(s, ip, port) != 0) {
    platform::CloseSocket(s);
    return platform::kNoSocket;
  }
  return s;
}

struct Worker {
  Mailbox requests, replies;
  bool ok = true;  // read after the join
};

// The worker's thread: connects, then sends each block it is handed and
// reads its answer, until the last block.
void WorkerLoop(Worker* w, const std::string& address, uint16_t port) {
  platform::SocketHandle s = Connect(address, port);
  w->ok = s != platform::kNoSocket;
  std::string reply;
  for (;;) {
    Mailbox::Item item = w->requests.Take();
    bool ok = w->ok && SendAll(s, item.request->block);
    for (size_t i = 0; ok && i < item.replies; ++i) ok = ReadBlock(s, &reply);
    w->ok = ok;
    if (item.last) break;
    w->replies.Put(Mailbox::Item{nullptr, 0, false, ok});
  }
  if (s != platform::kNoSocket) platform::CloseSocket(s);
}

// The server blocks that follow exchange i, up to the next client block.
size_t RepliesAfter(const Conversation& c, size_t i) {
  size_t n = 0;
  while (i + 1 + n < c.size() && !c[i + 1 + n].from_client) ++n;
  return n;
}

bool ConverseThroughWorker(const Conversation& c, const std::string& address, uint16_t port) {
  if (c.empty() || !c[0].from_client) return false;  // the client speaks first
  Worker w;
  platform::Thread thread;  // with the stack of the library's connection workers
  std::string why;
  if (!thread.Start([&] { WorkerLoop(&w, address, port); },
                    transport::TTransportThread::kStackBytes, &why))
    return false;
  bool ok = true;
  size_t i = 0;
  while (i < c.size()) {
    const size_t replies = RepliesAfter(c, i);
    const bool last = i + 1 + replies >= c.size();
    w.requests.Put(Mailbox::Item{&c[i], replies, last, true});
    if (!last) ok = w.replies.Take().ok && ok;
    i += 1 + replies;
  }
  thread.Join();
  return ok && w.ok;
}

}  // namespace

bool ReadBlock(platform::SocketHandle s, std::string* block) {
  block->resize(8);
  if (!ReadExactly(s, &(*block)[0], 8)) return false;
  const auto* h = reinterpret_cast<const unsigned char*>(block->data());
  uint32_t size = uint32_t(h[4]) | uint32_t(h[5]) << 8 | uint32_t(h[6]) << 16 | uint32_t(h[7]) << 24;
  if (size > 0x7FFFFFF7u) return false;
  block->resize(8 + size);
  return size == 0 || ReadExactly(s, &(*block)[8], size);
}

bool SendAll(platform::SocketHandle s, const std::string& bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    long n = platform::SendSome(s, p, left);
    if (n < 0 && platform::IsWouldBlock(platform::LastSocketError())) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

BlockRecorder::BlockRecorder(const std::string& listen_address, const std::string& target_address,
                             uint16_t port)
    : target_(target_address), port_(port) {
  int error = 0;
  listener_ = platform::ListenTcp(listen_address, port, 16, &error);
  if (listener_ != platform::kNoSocket) acceptor_ = std::thread([this] { AcceptLoop(); });
}

BlockRecorder::~BlockRecorder() { Finish(); }

void BlockRecorder::AcceptLoop() {
  while (!stop_) {
    if (platform::WaitReadable(listener_, 20000) != 1 || stop_) continue;
    platform::SocketHandle client = platform::AcceptSocket(listener_, nullptr);
    if (client == platform::kNoSocket) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    relays_.emplace_back([this, client] { Relay(client); });
  }
}

// One connection: a thread per direction, each block recorded in the
// order it passed.
void BlockRecorder::Relay(platform::SocketHandle client) {
  platform::SocketHandle server = Connect(target_, port_);
  size_t index;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    index = conversations_.size();
    conversations_.emplace_back();
  }
  auto pump = [&](platform::SocketHandle from, platform::SocketHandle to, bool from_client) {
    std::string block;
    while (ReadBlock(from, &block)) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        conversations_[index].push_back(Exchange{from_client, block});
      }
      if (!SendAll(to, block)) break;
    }
    platform::ShutdownSocket(to);
  };
  if (server != platform::kNoSocket) {
    std::thread back([&] { pump(server, client, false); });
    pump(client, server, true);
    back.join();
    platform::CloseSocket(server);
  }
  platform::CloseSocket(client);
}

std::vector<Conversation> BlockRecorder::Finish() {
  if (listener_ == platform::kNoSocket) return conversations_;
  stop_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  for (std::thread& t : relays_) t.join();
  relays_.clear();
  platform::CloseSocket(listener_);
  listener_ = platform::kNoSocket;
  return conversations_;
}

bool ReplayConversations(const std::vector<Conversation>& conversations,
                         const std::string& address, uint16_t port) {
  std::string block;
  for (const Conversation& c : conversations) {
    platform::SocketHandle s = Connect(address, port);
    if (s == platform::kNoSocket) return false;
    bool ok = true;
    for (const Exchange& e : c) {
      ok = e.from_client ? SendAll(s, e.block) : ReadBlock(s, &block);
      if (!ok) break;
    }
    platform::CloseSocket(s);
    if (!ok) return false;
  }
  return true;
}

bool ReplayThroughWorker(const std::vector<Conversation>& conversations,
                         const std::string& address, uint16_t port) {
  for (const Conversation& c : conversations)
    if (!ConverseThroughWorker(c, address, port)) return false;
  return true;
}

}  // namespace corvane::bench
