// The one remote call of a transaction to the front-end server.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// -1 failed, 0 accepted, 1 refused by the front end.  *reply is set
// whenever "Transmit" returned.
int Kvo_RemoteTrade(int32_t trade_no, const std::string& request, std::string* reply,
                    double serial);

// Frees a connection that the connection slot still holds.
void ReleaseConnectionSlot();

}  // namespace corvane
