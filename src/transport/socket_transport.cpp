#include "transport/socket_transport.h"

#include <algorithm>

#include "transport/byte_order.h"
#include "transport/errors.h"

namespace corvane::transport {
namespace {

// Body bytes read per step while a block arrives: the block grows with
// what has actually arrived (by a quarter at most), never with what the
// size field promises.
constexpr int32_t kFirstBodyStep = 64 * 1024;

}  // namespace

TSocketTransport::TSocketTransport() {}

TSocketTransport::TSocketTransport(platform::SocketHandle connected) : socket_(connected) {
  started_ = platform::SocketStartup() == 0;
}

TSocketTransport::~TSocketTransport() {
  try {
    SetOpen(false);
  } catch (...) {
  }
  if (started_) platform::SocketCleanup();
}

bool TSocketTransport::IsOpen() const { return socket_ != platform::kNoSocket; }

void TSocketTransport::Abort() { platform::ShutdownSocket(socket_); }

void TSocketTransport::SetOpen(bool open) {
  if (open == IsOpen()) return;
  if (!open) {
    std::lock_guard<std::mutex> lock(io_);
    platform::CloseSocket(socket_);
    socket_ = platform::kNoSocket;
    return;
  }
  if (address.empty() && host.empty()) throw ESocketConnectionError(kNoAddressSpecified);
  if (!started_) {
    int err = platform::SocketStartup();
    if (err != 0) throw MakeSocketError(err, "WSAStartup");
    started_ = true;
  }
  platform::SocketHandle s = platform::CreateTcpSocket();
  if (s == platform::kNoSocket) throw ESocketError(kCannotCreateSocket);
  uint32_t ip = 0;
  if (!address.empty()) {
    if (!platform::ParseIpv4(address, &ip)) ip = 0;
  } else {
    ip = platform::ResolveHostIpv4(host);
  }
  if (platform::ConnectSocket(s, ip, static_cast<uint16_t>(port), connect_timeout_ms) != 0) {
    int err = platform::LastSocketError();
    platform::CloseSocket(s);
    ESocketError error = MakeSocketError(err, "connect");
    // A name that did not resolve was tried as 0.0.0.0: say so.
    uint32_t literal = 0;
    if (ip == 0 && address.empty() && !platform::ParseIpv4(host, &literal)) {
      throw ESocketError(std::string(error.what()) + ", host name '" + host + "' not resolved",
                         err, "connect");
    }
    throw error;
  }
  socket_ = s;
}

void TSocketTransport::Fail(int code, const char* api) {
  platform::CloseSocket(socket_);
  socket_ = platform::kNoSocket;
  throw MakeSocketError(code, api);
}

long long TSocketTransport::Remaining(const std::chrono::steady_clock::time_point& start) const {
  if (io_timeout_ms < 0) return -1;
  const auto spent = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::steady_clock::now() - start).count();
  const long long left = static_cast<long long>(io_timeout_ms) * 1000 - spent;
  if (left <= 0) throw ESocketConnectionError(TimeLimitText(io_timeout_ms));
  return left;
}

void TSocketTransport::WaitFor(bool readable, const std::chrono::steady_clock::time_point& start) {
  const long long left = Remaining(start);
  const int ready = readable ? platform::WaitReadable(socket_, left)
                             : platform::WaitWritable(socket_, left);
  if (ready == 0) Remaining(start);  // throws once the limit is reached
}

int TSocketTransport::PutBlock(const DataBlockPtr& block) {
  std::lock_guard<std::mutex> lock(io_);
  const auto start = std::chrono::steady_clock::now();
  if (!IsOpen()) throw ESocketConnectionError(kErrorReadingSocket);
  // RawMemory writes the header's size field; sending only reads the bytes.
  uint8_t* raw = const_cast<uint8_t*>(block->RawMemory());
  const size_t size = static_cast<size_t>(block->DataSize()) + kBlockHeaderSize;
  Transfer(kSend, raw, size, size, start);
  return 0;
}

size_t TSocketTransport::Transfer(Direction direction, uint8_t* p, size_t count, size_t least,
                                  const std::chrono::steady_clock::time_point& start) {
  const bool receiving = direction == kReceive;
  size_t moved = 0;
  while (moved < least) {
    if (io_timeout_ms >= 0) WaitFor(receiving, start);  // a blocking call would not return
    long n = receiving ? platform::ReceiveSome(socket_, p + moved, count - moved)
                       : platform::SendSome(socket_, p + moved, count - moved);
    if (n == 0 && receiving) throw ESocketConnectionError(kErrorReadingSocket);
    if (n < 0) {
      int err = platform::LastSocketError();
      if (platform::IsWouldBlock(err)) {
        WaitFor(receiving, start);
        continue;
      }
      Fail(err, receiving ? "recv" : "send");
    }
    moved += static_cast<size_t>(n);
  }
  return moved;
}

bool TSocketTransport::AwaitInput(bool wait_for_input, const std::chrono::steady_clock::time_point& start) {
  // Waiting without a time limit, the first receive is the wait.
  if (wait_for_input && io_timeout_ms < 0) return true;
  int ready;
  do {  // waiting ends with data, an error, or the time limit (which throws)
    ready = platform::WaitReadable(socket_, wait_for_input ? Remaining(start) : 1);
  } while (ready == 0 && wait_for_input);
  if (ready < 0) throw ESocketConnectionError(platform::SocketErrorMessage(platform::LastSocketError()));
  return ready > 0;
}

DataBlockPtr TSocketTransport::FetchBlock(bool wait_for_input, int /*context*/) {
  std::lock_guard<std::mutex> lock(io_);
  if (!IsOpen()) throw ESocketConnectionError(kErrorReadingSocket);
  const auto start = std::chrono::steady_clock::now();
  if (!AwaitInput(wait_for_input, start)) return nullptr;
  // The signature word and the size come in one receive as a rule; the
  // word is judged as soon as it is there.
  uint8_t head[8];
  const size_t got = Transfer(kReceive, head, 8, 4, start);
  uint32_t word = LoadLE32(head);
  if (!IsWellFormed(word)) throw ETransportError(kInvalidDataPacket);
  if (got < 8) Transfer(kReceive, head + got, 8 - got, 8 - got, start);
  int32_t size = static_cast<int32_t>(LoadLE32(head + 4));
  if (size < 0) throw ESocketConnectionError(kInvalidDataPacket);
  if (size > kMaxBlockBodySize) throw ESocketConnectionError(BlockTooLargeText(size));
  auto block = NewDataBlock();
  block->SetSignatureWord(word);
  // Reserved once (address space, not memory), filled step by step: the
  // memory used stays within a quarter above what has arrived.
  block->ReserveBody(size);
  int32_t have = 0;
  while (have < size) {
    int32_t step = std::max(kFirstBodyStep, have / 4);
    int32_t want = std::min(size - have, step);
    block->SetDataSize(have + want);
    Transfer(kReceive, block->BodyAt(have), static_cast<size_t>(want), static_cast<size_t>(want), start);
    have += want;
  }
  return block;
}

}  // namespace corvane::transport

