// The one remote call of a transaction to the front-end server.
#pragma once

#include <cstdint>
#include <string>

#include "link/inner_pack.h"

namespace corvane {

// Builds the packet, logs it, opens a fresh connection to NativeAddress
// port 211 (server NativeServer), invokes "Transmit" once with the
// transaction number, the packet and LocalIP by reference (values the
// server returns replace them: trade_no for the reply check, LocalIP in
// the settings in memory), closes the connection and checks the reply.
//
// -1 failed, 0 accepted, 1 refused by the front end.  *reply is set to the
// reply whenever "Transmit" returned, and left untouched otherwise.  A
// failure while invoking "Transmit" or converting its result gives -1 with
// -7006 and the cause as the last error; no exception leaves this routine.
int Kvo_RemoteTrade(int32_t trade_no, const std::string& request, std::string* reply,
                    double serial);

// Frees a connection that the connection slot still holds.
void ReleaseConnectionSlot();

}  // namespace corvane
