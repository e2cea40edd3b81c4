#include "test_front_end.h"

#include <memory>

#include "transport/server_session.h"

namespace corvane::testing {
namespace {

class TransmitObject : public transport::IDispatchObject {
 public:
  TransmitObject(const TestFrontEnd::Transmit* transmit, std::atomic<int>* calls)
      : transmit_(transmit), calls_(calls) {}
  int32_t GetIdsOfNames(const std::vector<std::u16string>& names,
                        std::vector<int32_t>* ids) override {
    if (names.size() == 1 && names[0] == u"Transmit") {
      ids->assign(1, 7);
      return transport::kS_OK;
    }
    return transport::kDISP_E_UNKNOWNNAME;
  }
  int32_t Invoke(int32_t dispid, uint16_t, std::vector<transport::Variant>& args,
                 const std::vector<int32_t>&, transport::Variant* result,
                 transport::ExcepInfo* excep) override {
    if (dispid != 7) return transport::kDISP_E_MEMBERNOTFOUND;
    ++*calls_;
    return (*transmit_)(args, result, excep);
  }

 private:
  const TestFrontEnd::Transmit* transmit_;
  std::atomic<int>* calls_;
};

}  // namespace

TestFrontEnd::TestFrontEnd(const std::string& address, Transmit transmit)
    : transmit_(std::move(transmit)) {
  platform::SocketStartup();
  int error = 0;
  listener_ = platform::ListenTcp(address, 211, 5, &error);
  if (listener_ != platform::kNoSocket) thread_ = std::thread([this] { Serve(); });
}

TestFrontEnd::~TestFrontEnd() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ != platform::kNoSocket) platform::CloseSocket(listener_);
}

void TestFrontEnd::Serve() {
  while (!stop_) {
    if (platform::WaitReadable(listener_, 100000) != 1) continue;
    std::string peer;
    platform::SocketHandle s = platform::AcceptSocket(listener_, &peer);
    if (s == platform::kNoSocket) continue;
    ++connections_;
    // One client at a time: each remote call is one connection.
    transport::TServerSession session(s, [this](const std::u16string&) {
      return transport::Variant::Dispatch(std::make_shared<TransmitObject>(&transmit_, &calls_));
    });
    session.Run();
  }
}

}  // namespace corvane::testing
