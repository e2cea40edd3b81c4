// The simulated application object: answers "Transmit" from a scenario.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "hostile_session.h"
#include "scenario.h"
#include "transport/variant.h"

namespace frontend_sim {

// The packet header of a "Transmit" packet, decoded for the log.
struct PacketHeader {
  bool ok = false;
  std::string number, serial, length, local_address, request;
};
PacketHeader DecodePacket(const std::string& packet_utf8);

class FrontApp : public corvane::transport::IDispatchObject {
 public:
  using Logger = std::function<void(const std::string& line)>;
  // turn: where a hostile answer that the scenario asks for is armed (may
  // be null).
  FrontApp(const Scenario* scenario, CallCounter* counter, std::string peer, Logger log,
           std::shared_ptr<HostileTurn> turn = nullptr);
  int32_t GetIdsOfNames(const std::vector<std::u16string>& names, std::vector<int32_t>* ids) override;
  int32_t Invoke(int32_t dispid, uint16_t flags, std::vector<corvane::transport::Variant>& args,
                 const std::vector<int32_t>& named_ids, corvane::transport::Variant* result,
                 corvane::transport::ExcepInfo* excep) override;

 private:
  const Scenario* scenario_;
  CallCounter* counter_;
  std::string peer_;
  Logger log_;
  std::shared_ptr<HostileTurn> turn_;
};

}  // namespace frontend_sim
