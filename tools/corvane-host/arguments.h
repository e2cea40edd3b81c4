// Checks of the numbers typed on the command line.
#pragma once

#include <cstdint>
#include <string>

namespace corvane::host {

// A transaction number: decimal digits with an optional minus sign, within
// 32 bits.
bool ParseTradeNumber(const std::string& text, int32_t* out);

// A serial number: decimal digits (at most 15, so that the double the
// library receives holds it exactly), optionally a minus sign, optionally a
// fraction.
bool ParseSerial(const std::string& text, double* out);

}  // namespace corvane::host
