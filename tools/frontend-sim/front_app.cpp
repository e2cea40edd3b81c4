#include "front_app.h"

#include "platform/text.h"

using corvane::platform::Utf8ToWide;
using corvane::platform::WideToUtf8;
using namespace corvane::transport;

namespace frontend_sim {

constexpr int32_t kTransmitId = 1;

PacketHeader DecodePacket(const std::string& packet) {
  PacketHeader h;
  size_t tilde = packet.find('~');
  if (tilde == std::string::npos || tilde < 38) return h;
  size_t digits = tilde - 35;  // serial 14, length 6, address 15
  h.number = packet.substr(0, digits);
  h.serial = packet.substr(digits, 14);
  h.length = packet.substr(digits + 14, 6);
  h.local_address = packet.substr(digits + 20, 15);
  h.request = packet.substr(tilde + 1);
  h.ok = true;
  return h;
}

FrontApp::FrontApp(const Scenario* scenario, CallCounter* counter, std::string peer, Logger log,
                   std::shared_ptr<HostileTurn> turn)
    : scenario_(scenario), counter_(counter), peer_(std::move(peer)), log_(std::move(log)),
      turn_(std::move(turn)) {}

int32_t FrontApp::GetIdsOfNames(const std::vector<std::u16string>& names, std::vector<int32_t>* ids) {
  if (names.size() == 1 && names[0] == u"Transmit") {
    ids->assign(1, kTransmitId);
    return kS_OK;
  }
  return kDISP_E_UNKNOWNNAME;
}

int32_t FrontApp::Invoke(int32_t dispid, uint16_t, std::vector<Variant>& args, const std::vector<int32_t>&,
                         Variant* result, ExcepInfo* excep) {
  if (dispid != kTransmitId) return kDISP_E_MEMBERNOTFOUND;
  if (args.size() != 3) {
    excep->description = u"Transmit expects 3 arguments";
    return kDISP_E_EXCEPTION;
  }
  // Argument array order: address, packet, number.
  int32_t number = 0;
  std::string packet, address;
  try {
    const Variant& n = args[2].IsByRef() && args[2].ref ? *args[2].ref : args[2];
    number = n.AsI4();
    packet = WideToUtf8(VariantToWide(args[1]));
    address = WideToUtf8(VariantToWide(args[0]));
  } catch (const std::exception& e) {
    excep->description = Utf8ToWide(e.what());
    return kDISP_E_EXCEPTION;
  }
  std::string reply = scenario_->ReplyFor(number, counter_->Next(number));
  // A raw result value takes the place of an empty text in the reply.
  if (turn_ && turn_->Arm(*scenario_, number) && !turn_->raw_result.empty())
    reply = "<" + std::to_string(turn_->raw_result.size()) + " raw bytes>";
  if (result) *result = Variant::Str(turn_ && !turn_->raw_result.empty() ? u"" : Utf8ToWide(reply));
  if (log_) {
    PacketHeader h = DecodePacket(packet);
    std::string line = peer_ + " Transmit no=" + std::to_string(number);
    if (h.ok)
      line += " header[no=" + h.number + " serial=" + h.serial + " len=" + h.length + " ip='" +
              h.local_address + "'] request=\"" + h.request + "\"";
    else
      line += " packet=\"" + packet + "\"";
    line += " address=\"" + address + "\" reply=\"" + reply + "\"";
    log_(line);
  }
  return kS_OK;
}

}  // namespace frontend_sim
