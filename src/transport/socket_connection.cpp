#include "transport/socket_connection.h"

#include <chrono>
#include <cstdio>

#include "platform/text.h"
#include "transport/errors.h"

namespace corvane::transport {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} into the 16 bytes of a class
// identifier (the first three groups little-endian, as the platform keeps
// them).
bool ParseGuid(const std::string& t, std::array<uint8_t, 16>* out) {
  if (t.size() != 38 || t.front() != '{' || t.back() != '}') return false;
  static const int kGroups[5] = {8, 4, 4, 4, 12};
  std::string hex;
  size_t pos = 1;
  for (int g = 0; g < 5; ++g) {
    for (int i = 0; i < kGroups[g]; ++i, ++pos)
      if (HexDigit(t[pos]) < 0) return false; else hex.push_back(t[pos]);
    if (g < 4 && t[pos++] != '-') return false;
  }
  uint8_t b[16];
  for (int i = 0; i < 16; ++i) b[i] = uint8_t(HexDigit(hex[2 * i]) << 4 | HexDigit(hex[2 * i + 1]));
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int i = 0; i < 16; ++i) (*out)[i] = b[order[i]];
  return true;
}

bool IsZero(const std::array<uint8_t, 16>& g) {
  for (uint8_t b : g)
    if (b) return false;
  return true;
}

}  // namespace

TSocketConnection::TSocketConnection(std::string name) : name_(std::move(name)) {}

TSocketConnection::~TSocketConnection() {
  try {
    SetConnected(false);
  } catch (...) {
  }
  app_server_ = Variant();
  interpreter_.reset();
  if (worker_) {
    worker_->ClearEndNotification();
    CloseTransport();
  }
  direct_.reset();
}

void TSocketConnection::SetHost(const std::string& host) {
  host_ = host;
  if (!host.empty()) address_.clear();
}

void TSocketConnection::SetAddress(const std::string& address) {
  address_ = address;
  if (!address.empty()) host_.clear();
}

void TSocketConnection::SetServerName(const std::string& name) {
  if (name == server_name_) return;
  SetConnected(false);
  // No class registry here: names stay unresolved and the identifier zero.
  server_guid_.fill(0);
  server_name_ = name;
}

std::string TSocketConnection::ServerGUID() const {
  if (IsZero(server_guid_)) return std::string();
  const auto& g = server_guid_;
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                g[3], g[2], g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13],
                g[14], g[15]);
  return buf;
}

void TSocketConnection::SetServerGUID(const std::string& text) {
  SetConnected(false);
  if (text.empty()) {
    server_guid_.fill(0);
    return;
  }
  std::array<uint8_t, 16> g{};
  if (!ParseGuid(text, &g)) throw ETransportError("'" + text + "' is not a valid GUID value");
  server_guid_ = g;
}

void TSocketConnection::SetSupportCallbacks(bool value) {
  SetConnected(false);
  support_callbacks_ = value;
}

bool TSocketConnection::Connected() {
  DispatchPending();
  return app_server_.Base() == vtDispatch && app_server_.dispatch != nullptr;
}

void TSocketConnection::SetConnected(bool value) {
  if (value == Connected()) return;
  if (value)
    ConnectCore();
  else
    DisconnectCore();
}

TDataBlockInterpreter* TSocketConnection::GetCallInterpreter() {
  if (!interpreter_) interpreter_ = std::make_unique<TDataBlockInterpreter>(this, "Sockets");
  return interpreter_.get();
}

void TSocketConnection::ConnectCore() {
  try {
    std::string server = IsZero(server_guid_) ? server_name_ : ServerGUID();
    if (server.empty())
      throw ETransportError("Cannot connect, " + name_ + " must contain a valid ServerName or ServerGUID");
    OpenTransport();
    app_server_ = GetCallInterpreter()->RequestCreateObject(platform::AnsiToWide(server));
  } catch (...) {
    app_server_ = Variant();
    CloseTransport();
    throw;
  }
}

void TSocketConnection::DisconnectCore() {
  // Releasing the server object sends the free-object request: it goes to
  // the worker with the stop, and closing waits for the worker's end, by
  // which it has been written.
  closing_ = true;
  if (!app_server_.IsNull()) app_server_ = Variant::Null();  // the proxy's release never throws
  closing_ = false;
  CloseTransport();
}

std::shared_ptr<TSocketTransport> TSocketConnection::MakeTransport() {
  if (address_.empty() && host_.empty()) throw ESocketConnectionError(kNoAddressSpecified);
  auto t = std::make_shared<TSocketTransport>();
  t->host = host_;
  t->address = address_;
  t->port = port_;
  t->connect_timeout_ms = connect_timeout_ms_;
  t->io_timeout_ms = reply_timeout_ms_;
  return t;
}

void TSocketConnection::OpenTransport() {
  if (support_callbacks_) {
    auto transport = MakeTransport();
    if (!owner_) owner_ = std::make_shared<OwnerQueue>();
    owner_->Clear();
    worker_ = TTransportThread::Start(owner_, std::move(transport));
  } else {
    direct_ = MakeTransport();
    direct_->SetOpen(true);
  }
}

void TSocketConnection::CloseTransport() {
  if (worker_) {
    std::shared_ptr<TTransportThread> w = std::move(worker_);
    w->ClearEndNotification();
    w->Terminate();
    w->PostWake();
    w->WaitEnded(kStopWaitMs);
    if (owner_) owner_->Clear();
  } else if (direct_) {
    try {
      direct_->SetOpen(false);
    } catch (...) {
    }
    direct_.reset();
  }
}

void TSocketConnection::WorkerEnded() {
  if (worker_) {
    worker_->WaitEnded(kStopWaitMs);
    worker_.reset();
  }
  // Closing without a worker: the free-object request is dropped.
  DisconnectCore();
}

void TSocketConnection::DispatchPending() {
  if (!owner_) return;
  OwnerMessage m;
  while (owner_->TryTake(&m)) {
    switch (m.kind) {
      case OwnerMsg::kBlockArrived:
        try {
          if (m.block) GetCallInterpreter()->ProcessBlock(m.block);
        } catch (...) {
          // Nobody waits for it: an unsolicited error has no one to reach.
        }
        break;
      case OwnerMsg::kWorkerEnded:
        if (m.notify && worker_ && m.worker == worker_->Id()) WorkerEnded();
        break;
      default:
        break;
    }
  }
}

DataBlockPtr TSocketConnection::AwaitReply() {
  const bool limited = reply_timeout_ms_ > 0;
  const auto deadline = OwnerQueue::Clock::now() + std::chrono::milliseconds(limited ? reply_timeout_ms_ : 0);
  for (;;) {
    OwnerMessage m;
    const auto accept = {OwnerMsg::kBlockArrived, OwnerMsg::kWorkerFault, OwnerMsg::kWorkerEnded};
    if (!limited) {
      m = owner_->Take(accept);
    } else if (!owner_->TakeUntil(accept, deadline, &m)) {
      // Silent, or sending requests of its own for longer than the limit.
      throw ESocketConnectionError(TimeLimitText(reply_timeout_ms_));
    }
    if (m.kind == OwnerMsg::kWorkerFault) std::rethrow_exception(m.fault);
    if (m.kind == OwnerMsg::kWorkerEnded) {
      // The worker is gone: no reply can come.  Its end is handled when
      // the connection is next used.
      owner_->Post(std::move(m));
      throw ETransportError(kReturnValueNotReceived);
    }
    if (!m.block) continue;
    if (IsReply(m.block->GetSignatureWord())) return std::move(m.block);
    GetCallInterpreter()->ProcessBlock(m.block);
  }
}

void TSocketConnection::AwaitSent() {
  OwnerMessage m = owner_->Take({OwnerMsg::kBlockSent, OwnerMsg::kWorkerFault, OwnerMsg::kWorkerEnded});
  if (m.kind == OwnerMsg::kWorkerEnded) owner_->Post(std::move(m));
}

DataBlockPtr TSocketConnection::SendBlock(const DataBlockPtr& block, bool wait_for_result) {
  DataBlockPtr result;
  if (support_callbacks_) {
    if (!worker_) return nullptr;
    if (closing_ && !wait_for_result) {
      // The last block: the end of the worker, awaited by the close,
      // stands for its "sent" notice.
      worker_->PostSendBlock(block, false, true);
      return nullptr;
    }
    worker_->PostSendBlock(block, wait_for_result);
    if (!wait_for_result) {
      AwaitSent();
      return nullptr;
    }
    result = AwaitReply();
  } else {
    if (!direct_) return nullptr;
    int context = direct_->PutBlock(block);
    result = direct_->FetchBlock(wait_for_result, context);
  }
  if (result && ActionOf(result->GetSignatureWord()) == kActionError)
    GetCallInterpreter()->ProcessBlock(result);
  return result;
}

}  // namespace corvane::transport
