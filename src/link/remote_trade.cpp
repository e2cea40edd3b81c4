#include "link/remote_trade.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <vector>

#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/last_error.h"
#include "config/limit_settings.h"
#include "config/trade_cfg.h"
#include "link/reply_check.h"
#include "link/trade_log.h"
#include "platform/text.h"
#include "transport/errors.h"
#include "transport/late_call.h"
#include "transport/socket_connection.h"

namespace corvane {
namespace {

constexpr int kFrontEndPort = 211;

// The connection slot: nothing between calls, the one connection during a
// call.
std::unique_ptr<transport::TSocketConnection>& ConnectionSlot() {
  static std::unique_ptr<transport::TSocketConnection> slot;
  return slot;
}

// "front end <address>:211 server <name>", for the causes of a failure.
std::string FrontEndText() {
  const TSystemCfg& cfg = SystemCfg();
  return "front end " + (cfg.NativeAddress.empty() ? std::string("(NativeAddress empty)")
                                                   : cfg.NativeAddress) +
         ":" + std::to_string(kFrontEndPort) + " server \"" + cfg.NativeServer + "\"";
}

// An exception's text for the diagnostics log: a transport error's with the
// system's words behind it.
std::string LoggedText(const std::exception& e) {
  const auto* transport_error = dynamic_cast<const transport::ETransportError*>(&e);
  return transport_error ? transport_error->WithCause() : e.what();
}

// Opens the slot's connection to the front end; false when it cannot be
// opened (the slot is then empty and the cause noted).
bool OpenFrontEnd() {
  auto& slot = ConnectionSlot();
  try {
    if (!slot) slot = std::make_unique<transport::TSocketConnection>();
    const TSystemCfg& cfg = SystemCfg();
    slot->SetHost(cfg.NativeAddress);
    slot->SetPort(kFrontEndPort);
    slot->SetServerName(cfg.NativeServer);
    slot->SetServerGUID("");
    slot->SetTimeouts(Kvo_ReadLimitSetting(kKeyConnectTimeout),
                      Kvo_ReadLimitSetting(kKeyReplyTimeout));
    if (!slot->Connected()) slot->SetConnected(true);
    return true;
  } catch (const std::exception& e) {
    Kvo_NoteCause(FrontEndText() + ": cannot connect: " + LoggedText(e));
  } catch (...) {
    Kvo_NoteCause(FrontEndText() + ": cannot connect: unknown failure");
  }
  ReleaseConnectionSlot();
  return false;
}

// Invokes "Transmit" on the open connection and gives its result as text.
// Throws what the transport throws.
std::string Transmit(int32_t* trade_no, std::string* packet) {
  auto& slot = ConnectionSlot();
  std::string reply;
  {
    transport::Variant app = slot->AppServer();
    std::vector<transport::CallArg> args = {
        transport::CallArg::IntRef(trade_no), transport::CallArg::AnsiTextRef(packet),
        transport::CallArg::AnsiTextRef(&SystemCfg().LocalIP)};
    transport::Variant result = transport::DispatchCall(app, "Transmit", args);
    // Null has no text form (Empty gives the empty text).
    const transport::Variant& value =
        result.IsByRef() && result.ref ? *result.ref : result;
    if (value.IsNull()) throw std::runtime_error("Transmit returned Null, which has no text form");
    // A plain text result is converted where it lies (a reply may be
    // megabytes); anything else, an array of texts among them, goes
    // through the conversion that refuses what has no text form.
    if (result.type == transport::vtBstr)
      reply = platform::WideToAnsi(result.text);
    else
      reply = platform::WideToAnsi(transport::VariantToWide(result));
  }
  // The front end has answered: a failure while closing does not undo
  // the transaction it has carried out.
  try {
    slot->SetConnected(false);
  } catch (...) {
  }
  ReleaseConnectionSlot();
  return reply;
}

// -1 with -7006: the cause quoted (capped) in the message, whole (with the
// system's words behind it, when known) in the diagnostics log.
int RemoteCallFailed(const std::string& cause, const std::string& logged) {
  Kvo_NoteCause(FrontEndText() + ": Transmit failed: " + logged);
  return Kvo_SetLastError(kErrRemoteCall, RemoteCallMessage(cause));
}

}  // namespace

void ReleaseConnectionSlot() {
  auto& slot = ConnectionSlot();
  if (!slot) return;
  // Destroying the connection closes it and cannot raise.
  slot.reset();
}

int Kvo_RemoteTrade(int32_t trade_no, const std::string& request, std::string* reply,
                    double serial) {
  std::string packet;
  if (Kvo_BuildInnerPack(trade_no, request, &packet, serial) != 0) return -1;
  if (Kvo_WriteTradeLog(kLogPacketSent, packet) != 0) return -1;
  if (!OpenFrontEnd()) return -1;
  std::string text;
  try {
    text = Transmit(&trade_no, &packet);
  } catch (const std::exception& e) {
    ReleaseConnectionSlot();
    return RemoteCallFailed(e.what(), LoggedText(e));
  } catch (...) {
    ReleaseConnectionSlot();
    return RemoteCallFailed("unknown failure", "unknown failure");
  }
  int result;
  try {
    result = Kvo_CheckTradeReply(trade_no, text);
  } catch (...) {
    result = -1;
  }
  *reply = std::move(text);
  return result;
}

}  // namespace corvane
