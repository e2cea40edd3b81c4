// A transaction that the front end carried out and answered, but that the
// journal (TradeLog.ini) could not record: disk full, a read-only file or
// folder, a refused rename.  The host must not see it as an ordinary
// failure that a retry repairs, and the front end's reply must not be lost.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// Runs one write of the journal; false when the system refused it, with the
// file and the system's words noted as the cause.
bool JournalWritten(const std::function<void()>& write);

// Records -7208 for trade_no and gives the body of the error reply for tag:
// the standard body, then "~" and the front end's reply, unchanged.  The
// reply is also kept whole in log1/ (named in the message and in the noted
// causes); when the host stated a ReplyBufferSize that the whole error
// reply would not fit, the body ends after the message.
std::string UnrecordedTradeBody(const std::string& tag, int32_t trade_no,
                                const std::string& front_reply);

}  // namespace corvane
