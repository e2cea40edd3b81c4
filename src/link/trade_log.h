// The daily exchange log: log1/CorvaneTradeLog<yyyymmdd>.log beside the
// host program.
#pragma once

#include <cstdint>
#include <string>

#include "common/modes.h"  // kLogPacketSent, kLogReplyReceived
#include "platform/clock.h"

namespace corvane {

// mode 1: an outgoing packet, mode 2: a reply.  0 when written or when
// text is empty; -1 when the write failed or the mode is neither 1 nor 2
// (no last error).  file: empty for the dated default name; dir: the base
// directory that holds log1, empty for the host program's directory.
int Kvo_WriteTradeLog(int32_t mode, const std::string& text, const std::string& file = "",
                      const std::string& dir = "");

// While one of these lives (an exported call), the day's log file stays
// open from its first line to the end of the call, and later lines of the
// call are appended to it without opening it again.  Every line still goes
// to the system as it is written; the file is closed when the scope ends,
// so nothing is held between calls.  One at a time, on the calling thread.
class TradeLogCallScope {
 public:
  TradeLogCallScope();
  ~TradeLogCallScope();
  TradeLogCallScope(const TradeLogCallScope&) = delete;
  TradeLogCallScope& operator=(const TradeLogCallScope&) = delete;
};

// The line of a mode (without its CR LF): timestamp, marker, text with its
// control characters and backslashes escaped (EscapeLogText).  The
// time is left out at exactly 00:00:00.000.  Empty for an unknown mode.
std::string TradeLogLine(int32_t mode, const std::string& text, const platform::LocalTime& now);
// "CorvaneTradeLog" + yyyymmdd + ".log".
std::string TradeLogFileName(const platform::LocalTime& now);

}  // namespace corvane
