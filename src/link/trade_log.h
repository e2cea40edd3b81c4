// The daily exchange log: log1/CorvaneTradeLog<yyyymmdd>.log beside the
// host program.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// mode 1: an outgoing packet, mode 2: a reply.  0 when written or when
// text is empty; -1 when the write failed (no last error).
int Kvo_WriteTradeLog(int32_t mode, const std::string& text, const std::string& file = "",
                      const std::string& dir = "");

}  // namespace corvane
