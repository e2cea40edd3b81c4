// A front-end server inside the test process: the transport's server
// session on a loopback address, port 211, with an application object
// whose "Transmit" the test writes.  For what the simulator cannot do:
// raise an error, change the by-reference arguments, answer with a value
// that has no text form.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/socket.h"
#include "transport/variant.h"

namespace corvane::testing {

class TestFrontEnd {
 public:
  // args in argument-array order: args[2] number, args[1] packet,
  // args[0] local address.  Returns a dispatch result code.
  using Transmit = std::function<int32_t(std::vector<transport::Variant>& args,
                                         transport::Variant* result,
                                         transport::ExcepInfo* excep)>;
  TestFrontEnd(const std::string& address, Transmit transmit);
  ~TestFrontEnd();
  bool ready() const { return listener_ != platform::kNoSocket; }
  int calls() const { return calls_; }
  int connections() const { return connections_; }

 private:
  void Serve();

  Transmit transmit_;
  platform::SocketHandle listener_ = platform::kNoSocket;
  std::atomic<bool> stop_{false};
  std::atomic<int> calls_{0};
  std::atomic<int> connections_{0};
  std::thread thread_;
};

}  // namespace corvane::testing
