// The internal transaction packet: a 38-character header (for ordinary
// values), "~", and the request unchanged.
//
// Header: transaction number (at least 3 digits), serial number rounded to
// a whole number with halves away from zero (at least 14 digits), request
// length in bytes (at least 6 digits), and the LocalIP setting
// right-aligned in 15 characters (a longer value whole).
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The header with the LocalIP setting in memory.  Throws
// std::invalid_argument for a serial number that is not a finite number or
// a negative length.
std::string Kvo_BuildPackHead(int32_t trade_no, int32_t request_length, double serial);

// The header with a given local address.
std::string BuildPackHeadFor(int32_t trade_no, int32_t request_length, double serial,
                             const std::string& local_ip);

// header + "~" + request into *packet: 0; -1 with -7002 when the packet
// cannot be composed (*packet untouched).
int Kvo_BuildInnerPack(int32_t trade_no, const std::string& request, std::string* packet,
                       double serial);

}  // namespace corvane
