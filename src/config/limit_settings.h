// Optional limits an integrator may state in TradeCfg.ini, section SYSTEM.
// Each key is absent by default, and an absent, empty or zero key means no
// limit (the library's behaviour without it):
//
//   ReplyBufferSize  bytes of the host's reply buffer, zero byte included;
//                    a reply that would not fit is replaced by a short
//                    -7009 reply and kept whole in log1/
//   ConnectTimeout   milliseconds to wait for the front end's connection
//   ReplyTimeout     milliseconds to wait for each answer of the front end
//
// They are read at every use, like every other setting.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

extern const char kKeyReplyBufferSize[];  // "ReplyBufferSize"
extern const char kKeyConnectTimeout[];   // "ConnectTimeout"
extern const char kKeyReplyTimeout[];     // "ReplyTimeout"

// The key's value when it is a positive whole number, otherwise 0 (no
// limit).  A value that is neither empty nor a positive number is noted in
// the diagnostics log and ignored.  dir: as for Kvo_ReadIniFSection.
int32_t Kvo_ReadLimitSetting(const char* key, const std::string& dir = "");

}  // namespace corvane
