// The check of a front-end reply: logging, the status field and the
// downloads that the transaction number asks for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// Writes the reply to the daily log and reads field 1: 1 when it sorts
// after "0" (refused), -1 when it sorts before, when the log write fails or
// when a download fails; 0 when it is "0" and every download succeeded.
int Kvo_CheckTradeReply(int32_t trade_no, const std::string& reply);

// The fields to download for a transaction number, in order, each counted
// in the reply as left by the downloads before it.
std::vector<int32_t> ReplyDownloadFields(int32_t trade_no);

}  // namespace corvane
