#include "test_peer.h"

#include <chrono>

#include "platform/text.h"
#include "transport/errors.h"

namespace corvane::transport::testing {

RawPeer::RawPeer(const std::string& address, uint16_t port) {
  platform::SocketStartup();
  int err = 0;
  listener_ = platform::ListenTcp(address, port, 16, &err);
}

RawPeer::~RawPeer() {
  CloseClient();
  platform::CloseSocket(listener_);
  platform::SocketCleanup();
}

bool RawPeer::Accept() {
  CloseClient();
  client_ = platform::AcceptSocket(listener_, nullptr);
  return client_ != platform::kNoSocket;
}

Bytes RawPeer::Read(size_t n) {
  Bytes r(n);
  size_t got = 0;
  while (got < n) {
    long k = platform::ReceiveSome(client_, r.data() + got, n - got);
    if (k <= 0) return {};
    got += static_cast<size_t>(k);
  }
  return r;
}

Bytes RawPeer::ReadBlock() {
  Bytes head = Read(8);
  if (head.size() != 8) return {};
  uint32_t size = head[4] | head[5] << 8 | head[6] << 16 | uint32_t(head[7]) << 24;
  Bytes body = Read(size);
  if (body.size() != size) return {};
  return Cat({head, body});
}

void RawPeer::Send(const Bytes& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    long k = platform::SendSome(client_, bytes.data() + done, bytes.size() - done);
    if (k <= 0) return;
    done += static_cast<size_t>(k);
  }
}

void RawPeer::CloseClient() {
  platform::CloseSocket(client_);
  client_ = platform::kNoSocket;
}

namespace {

// The application object of the test server.
class TestApp : public IDispatchObject {
 public:
  TestApp(const AppServerPeer::Transmit* transmit, std::atomic<int>* calls)
      : transmit_(transmit), calls_(calls) {}
  int32_t GetIdsOfNames(const std::vector<std::u16string>& names, std::vector<int32_t>* ids) override {
    if (names.size() != 1 || (names[0] != u"Transmit" && names[0] != u"Fail")) return kDISP_E_UNKNOWNNAME;
    ids->assign(1, names[0] == u"Transmit" ? 7 : 8);
    return kS_OK;
  }
  int32_t Invoke(int32_t dispid, uint16_t, std::vector<Variant>& args, const std::vector<int32_t>&,
                 Variant* result, ExcepInfo* excep) override {
    if (dispid == 8) {
      excep->code = 1001;
      excep->description = u"服务端故障";
      return kDISP_E_EXCEPTION;
    }
    if (dispid != 7) return kDISP_E_MEMBERNOTFOUND;
    ++*calls_;
    if (*transmit_) return (*transmit_)(args, result, excep);
    if (args.size() != 3) return kDISP_E_MEMBERNOTFOUND;
    std::u16string packet = VariantToWide(args[1]);
    if (args[0].IsByRef() && args[0].ref) *args[0].ref = Variant::Str(u"back");
    if (args[2].IsByRef() && args[2].ref) *args[2].ref = Variant::I4(args[2].ref->AsI4() + 1);
    if (result) *result = Variant::Str(u"0~" + packet);
    return kS_OK;
  }

 private:
  const AppServerPeer::Transmit* transmit_;
  std::atomic<int>* calls_;
};

}  // namespace

AppServerPeer::AppServerPeer(const std::string& address, uint16_t port, std::string server_name,
                             Transmit transmit)
    : server_name_(std::move(server_name)), transmit_(std::move(transmit)) {
  platform::SocketStartup();
  int err = 0;
  listener_ = platform::ListenTcp(address, port, 64, &err);
  if (listener_ != platform::kNoSocket) acceptor_ = std::thread([this] { AcceptLoop(); });
}

AppServerPeer::~AppServerPeer() {
  stop_ = true;
  platform::ShutdownSocket(listener_);
  platform::CloseSocket(listener_);
  // Wake the accept call: connect once.
  if (acceptor_.joinable()) acceptor_.join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& s : sessions_) s->Abort();
  }
  for (auto& t : threads_) t.join();
  platform::SocketCleanup();
}

void AppServerPeer::AcceptLoop() {
  while (!stop_) {
    if (platform::WaitReadable(listener_, 50000) != 1) continue;
    platform::SocketHandle s = platform::AcceptSocket(listener_, nullptr);
    if (s == platform::kNoSocket) continue;
    ++connections_;
    auto session = std::make_shared<TServerSession>(s, [this](const std::u16string& name) -> Variant {
      if (!create_error.empty()) throw ETransportError(create_error);
      if (!server_name_.empty() && platform::WideToAnsi(name) != server_name_) return Variant();
      return Variant::Dispatch(std::make_shared<TestApp>(&transmit_, &calls_));
    });
    session->on_block = [this](const IDataBlock& b, bool outgoing) {
      if (outgoing) return;
      std::lock_guard<std::mutex> lock(mutex_);
      received_.push_back(b.GetSignatureWord());
    };
    std::lock_guard<std::mutex> lock(mutex_);
    sessions_.push_back(session);
    threads_.emplace_back([session] { session->Run(); });
  }
}

int AppServerPeer::Received(uint32_t signature) const {
  std::lock_guard<std::mutex> lock(mutex_);
  int n = 0;
  for (uint32_t s : received_) n += s == signature;
  return n;
}

int AppServerPeer::ReceivedTotal() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(received_.size());
}

bool AppServerPeer::WaitReceived(uint32_t signature, int count, int timeout_ms) const {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < until) {
    if (Received(signature) >= count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return Received(signature) >= count;
}

}  // namespace corvane::transport::testing
