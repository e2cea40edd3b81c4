// The internal transaction packet: a 38-character header, "~", and the
// request unchanged.
//
// Header: transaction number (3 digits), serial number rounded to a whole
// number with halves away from zero (14 digits), request length in bytes
// (6 digits), and the LocalIP setting right-aligned in 15 characters.  The
// front end reads the header by position, so a value that does not fit its
// width is refused before anything is sent: it would shift every later
// field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

constexpr int32_t kPackMaxTradeNo = 999;
constexpr size_t kPackSerialDigits = 14;
constexpr size_t kPackMaxRequestBytes = 999999;
constexpr size_t kPackLocalIpWidth = 15;

// True when the serial, rounded, is a whole number from 0 to 10^14 - 1.
bool PackSerialFits(double serial);

// Checks that every header value fits its width: 0, or -1 with -7002
// (transaction number outside 0..999), -7005 (serial), -7007 (request
// longer than 999 999 bytes) or -7008 (LocalIP longer than 15 characters).
int Kvo_CheckPackFields(int32_t trade_no, size_t request_length, double serial,
                        const std::string& local_ip);

// The header with the LocalIP setting in memory.  Throws
// std::invalid_argument for a value that Kvo_CheckPackFields refuses.
std::string Kvo_BuildPackHead(int32_t trade_no, int32_t request_length, double serial);

// The header with a given local address.
std::string BuildPackHeadFor(int32_t trade_no, int32_t request_length, double serial,
                             const std::string& local_ip);

// header + "~" + request into *packet: 0; -1 with the code of
// Kvo_CheckPackFields, or -7002 when the packet cannot be composed
// (*packet untouched).
int Kvo_BuildInnerPack(int32_t trade_no, const std::string& request, std::string* packet,
                       double serial);

}  // namespace corvane
