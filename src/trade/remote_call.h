// The remote transaction call as the engine uses it: a failure raised
// inside the call (a broken connection, a server error) becomes result -1
// with -7006 and its cause as the last error.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

int GuardedRemoteTrade(int32_t trade_no, const std::string& request, std::string* reply,
                       double serial);

}  // namespace corvane
