// A front end that misbehaves on purpose, for tests of the library at its
// edges: in place of the ordinary answer to one transaction it sends a
// reply value of raw bytes, or requests of its own (one after another,
// answered or not), or no reply at all.
#pragma once

#include <memory>
#include <vector>

#include "scenario.h"
#include "transport/server_session.h"

namespace frontend_sim {

// What the application object decided when "Transmit" was called, carried
// out when its reply is sent.
struct HostileTurn {
  std::vector<unsigned char> raw_result;  // replaces the reply's result value
  RequestFlood flood;
  bool armed = false;
  // Arms the turn from the scenario's entries for this number; false when
  // it has none.
  bool Arm(const Scenario& scenario, int number);
};

class HostileSession : public corvane::transport::TServerSession {
 public:
  HostileSession(corvane::platform::SocketHandle connected,
                 corvane::transport::TDataBlockInterpreter::ClassFactory factory,
                 std::shared_ptr<HostileTurn> turn);
  corvane::transport::DataBlockPtr SendBlock(const corvane::transport::DataBlockPtr& block,
                                             bool wait_for_result) override;

 private:
  // Sends the requests (-1: until the connection ends) while reading the
  // answers; false when the connection ended.
  bool Flood(const RequestFlood& flood);
  // Reads and drops whatever comes until the client closes.
  void DrainUntilClosed();

  std::shared_ptr<HostileTurn> turn_;
};

}  // namespace frontend_sim
