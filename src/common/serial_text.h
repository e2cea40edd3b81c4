// The serial number of a transaction as its 14 digits: the packet header,
// the card's lock field and the serial check all write it this way.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

namespace corvane {

constexpr size_t kSerialDigits = 14;

// Rounded half away from zero and zero-padded on the left.  False, with
// *text untouched, when the serial is not a number, is negative or needs
// more than 14 digits.
inline bool SerialText14(double serial, std::string* text) {
  if (!std::isfinite(serial)) return false;
  double whole = std::round(serial);
  if (whole < 0 || whole >= 1e14) return false;
  if (whole == 0) whole = 0;  // -0 would print a sign
  char digits[32];
  std::snprintf(digits, sizeof digits, "%014.0f", whole);
  *text = digits;
  return true;
}

}  // namespace corvane
