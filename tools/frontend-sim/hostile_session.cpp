#include "hostile_session.h"

#include <atomic>
#include <thread>

#include "transport/value_codec.h"

using namespace corvane;
using namespace corvane::transport;

namespace frontend_sim {

bool HostileTurn::Arm(const Scenario& scenario, int number) {
  auto raw = scenario.raw_results.find(number);
  auto flood_entry = scenario.floods.find(number);
  raw_result = raw != scenario.raw_results.end() ? raw->second : std::vector<unsigned char>();
  flood = flood_entry != scenario.floods.end() ? flood_entry->second : RequestFlood();
  armed = raw != scenario.raw_results.end() || flood_entry != scenario.floods.end();
  return armed;
}

HostileSession::HostileSession(platform::SocketHandle connected,
                               TDataBlockInterpreter::ClassFactory factory,
                               std::shared_ptr<HostileTurn> turn)
    : TServerSession(connected, std::move(factory)), turn_(std::move(turn)) {}

namespace {

// An invocation of object 0, which the library never exported: it answers
// each with an error reply.  With pad, a text argument of that length.
std::vector<uint8_t> RequestBytes(long long pad) {
  TDataBlock b;
  for (int32_t v : {0, 1, 1}) WriteI4(b, v);
  WriteBool(b, false);
  WriteI4(b, pad > 0 ? 1 : 0);
  WriteI4(b, 0);
  if (pad > 0) WriteText(b, std::u16string(static_cast<size_t>(pad), u'x'));
  b.SetSignatureWord(RequestSignature | kActionInvoke);
  const uint8_t* p = b.RawMemory();
  return std::vector<uint8_t>(p, p + b.DataSize() + kBlockHeaderSize);
}

bool SendAll(platform::SocketHandle s, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    long n = platform::SendSome(s, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The reply with its last value (an empty text) replaced by raw bytes.
void ReplaceResult(IDataBlock& reply, const std::vector<unsigned char>& raw) {
  const uint8_t* body = reply.RawMemory() + kBlockHeaderSize;
  std::vector<uint8_t> kept(body, body + reply.DataSize() - 8);
  reply.Reset();
  reply.AppendBytes(kept.data(), static_cast<int32_t>(kept.size()));
  reply.AppendBytes(raw.data(), static_cast<int32_t>(raw.size()));
}

}  // namespace

bool HostileSession::Flood(const RequestFlood& flood) {
  const long long count = flood.count;
  const std::vector<uint8_t> request = RequestBytes(flood.pad);
  const platform::SocketHandle s = Transport().Handle();
  std::atomic<bool> stop{false};
  // Requests go out on a thread of their own while this one reads the
  // answers, so that neither side's buffers fill up.
  std::thread sender([&] {
    for (long long i = 0; (count < 0 || i < count) && !stop; ++i)
      if (!SendAll(s, request)) break;
  });
  bool open = true;
  try {
    for (long long i = 0; count < 0 || i < count; ++i) Transport().FetchBlock(true, 0);
  } catch (...) {
    open = false;
  }
  stop = true;
  if (!open) Transport().Abort();
  sender.join();
  return open;
}

void HostileSession::DrainUntilClosed() {
  try {
    for (;;) Transport().FetchBlock(true, 0);
  } catch (...) {
  }
}

DataBlockPtr HostileSession::SendBlock(const DataBlockPtr& block, bool wait_for_result) {
  if (!turn_ || !turn_->armed || block->GetSignatureWord() != (ReplySignature | kActionInvoke))
    return TServerSession::SendBlock(block, wait_for_result);
  HostileTurn turn = std::move(*turn_);
  *turn_ = HostileTurn();
  if (turn.flood.count != 0 && !Flood(turn.flood)) return nullptr;
  if (turn.flood.silent) {
    DrainUntilClosed();
    return nullptr;
  }
  if (!turn.raw_result.empty()) ReplaceResult(*block, turn.raw_result);
  return TServerSession::SendBlock(block, wait_for_result);
}

}  // namespace frontend_sim
