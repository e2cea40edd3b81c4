#include "link/inner_pack.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>
#include <stdexcept>

#include "common/error_codes.h"
#include "common/last_error.h"
#include "config/trade_cfg.h"

namespace corvane {
namespace {

// Decimal digits of a whole, non-negative value, zero-padded to width; a
// minus sign goes before the padding.
std::string Padded(const std::string& digits, bool negative, size_t width) {
  std::string out = negative ? "-" : "";
  if (digits.size() < width) out.append(width - digits.size(), '0');
  return out + digits;
}

std::string PaddedInteger(int64_t value, size_t width) {
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  return Padded(std::to_string(magnitude), value < 0, width);
}

std::string PaddedSerial(double serial) {
  if (!std::isfinite(serial)) throw std::invalid_argument("serial number is not a number");
  double whole = std::round(std::fabs(serial));  // halves away from zero
  char digits[400];
  std::snprintf(digits, sizeof digits, "%.0f", whole);
  return Padded(digits, serial < 0 && whole != 0, 14);
}

}  // namespace

std::string BuildPackHeadFor(int32_t trade_no, int32_t request_length, double serial,
                             const std::string& local_ip) {
  if (request_length < 0) throw std::invalid_argument("negative request length");
  std::string head = PaddedInteger(trade_no, 3);
  head += PaddedSerial(serial);
  head += PaddedInteger(request_length, 6);
  if (local_ip.size() < 15) head.append(15 - local_ip.size(), ' ');
  head += local_ip;
  return head;
}

std::string Kvo_BuildPackHead(int32_t trade_no, int32_t request_length, double serial) {
  return BuildPackHeadFor(trade_no, request_length, serial, SystemCfg().LocalIP);
}

int Kvo_BuildInnerPack(int32_t trade_no, const std::string& request, std::string* packet,
                       double serial) {
  try {
    if (request.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
      throw std::length_error("request too long");
    }
    std::string out =
        Kvo_BuildPackHead(trade_no, static_cast<int32_t>(request.size()), serial);
    out += '~';
    out += request;
    packet->swap(out);
    return 0;
  } catch (const std::exception&) {
    return Kvo_SetLastError(kErrBuildPacket, ErrorMessage(kErrBuildPacket));
  }
}

}  // namespace corvane
