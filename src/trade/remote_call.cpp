#include "trade/remote_call.h"

#include <exception>

#include "common/error_codes.h"
#include "common/last_error.h"
#include "link/remote_trade.h"

namespace corvane {

int GuardedRemoteTrade(int32_t trade_no, const std::string& request, std::string* reply,
                       double serial) {
  try {
    return Kvo_RemoteTrade(trade_no, request, reply, serial);
  } catch (const std::exception& e) {
    return Kvo_SetLastError(kErrRemoteCall, RemoteCallMessage(e.what()));
  } catch (...) {
    return Kvo_SetLastError(kErrRemoteCall, RemoteCallMessage("unknown"));
  }
}

}  // namespace corvane
