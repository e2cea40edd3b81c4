#include "arguments.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace corvane::host {
namespace {

// Count of the decimal digits at text[pos...].
size_t Digits(const std::string& text, size_t pos) {
  size_t n = 0;
  while (pos + n < text.size() && text[pos + n] >= '0' && text[pos + n] <= '9') ++n;
  return n;
}

size_t SignLength(const std::string& text) { return !text.empty() && text[0] == '-' ? 1 : 0; }

}  // namespace

bool ParseTradeNumber(const std::string& text, int32_t* out) {
  const size_t sign = SignLength(text);
  const size_t digits = Digits(text, sign);
  if (digits == 0 || sign + digits != text.size() || digits > 10) return false;
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value < INT32_MIN || value > INT32_MAX) return false;
  *out = static_cast<int32_t>(value);
  return true;
}

bool ParseSerial(const std::string& text, double* out) {
  const size_t sign = SignLength(text);
  const size_t whole = Digits(text, sign);
  size_t end = sign + whole;
  if (end < text.size() && text[end] == '.') end += 1 + Digits(text, end + 1);
  if (whole > 0 && end + 1 < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    const size_t exp_sign = text[end + 1] == '-' || text[end + 1] == '+' ? 1 : 0;
    const size_t exp_digits = Digits(text, end + 1 + exp_sign);
    if (exp_digits > 0) end += 1 + exp_sign + exp_digits;
  }
  if (whole == 0 || end != text.size()) return false;
  errno = 0;
  *out = std::strtod(text.c_str(), nullptr);
  return errno == 0;
}

}  // namespace corvane::host
