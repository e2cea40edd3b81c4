// Checks of the numbers typed on the command line.
#pragma once

#include <cstdint>
#include <string>

namespace corvane::host {

// A transaction number: decimal digits with an optional minus sign, within
// 32 bits.
bool ParseTradeNumber(const std::string& text, int32_t* out);

// A serial number: decimal digits with an optional minus sign, fraction and
// exponent (the library itself refuses serials it cannot use).
bool ParseSerial(const std::string& text, double* out);

}  // namespace corvane::host
