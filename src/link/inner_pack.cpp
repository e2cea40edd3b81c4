#include "link/inner_pack.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "common/error_codes.h"
#include "common/last_error.h"
#include "common/serial_text.h"
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

}  // namespace

bool PackSerialFits(double serial) {
  std::string unused;
  return SerialText14(serial, &unused);
}

int Kvo_CheckPackFields(int32_t trade_no, size_t request_length, double serial,
                        const std::string& local_ip) {
  if (trade_no < 0 || trade_no > kPackMaxTradeNo)
    return Kvo_SetLastError(kErrBuildPacket);
  if (!PackSerialFits(serial))
    return Kvo_SetLastError(kErrTradeSerial);
  if (request_length > kPackMaxRequestBytes)
    return Kvo_SetLastError(kErrRequestTooLong, RequestTooLongMessage(request_length));
  if (local_ip.size() > kPackLocalIpWidth)
    return Kvo_SetLastError(kErrLocalIpTooLong);
  return 0;
}

std::string BuildPackHeadFor(int32_t trade_no, int32_t request_length, double serial,
                             const std::string& local_ip) {
  if (request_length < 0 || trade_no < 0 || trade_no > kPackMaxTradeNo ||
      static_cast<size_t>(request_length) > kPackMaxRequestBytes ||
      local_ip.size() > kPackLocalIpWidth || !PackSerialFits(serial))
    throw std::invalid_argument("a value does not fit its place in the packet header");
  std::string head = PaddedInteger(trade_no, 3);
  std::string serial_text;
  SerialText14(serial, &serial_text);
  head += serial_text;
  head += PaddedInteger(request_length, 6);
  head.append(kPackLocalIpWidth - local_ip.size(), ' ');
  head += local_ip;
  return head;
}

std::string Kvo_BuildPackHead(int32_t trade_no, int32_t request_length, double serial) {
  return BuildPackHeadFor(trade_no, request_length, serial, SystemCfg().LocalIP);
}

int Kvo_BuildInnerPack(int32_t trade_no, const std::string& request, std::string* packet,
                       double serial) {
  if (Kvo_CheckPackFields(trade_no, request.size(), serial, SystemCfg().LocalIP) != 0) return -1;
  try {
    std::string out =
        Kvo_BuildPackHead(trade_no, static_cast<int32_t>(request.size()), serial);
    out += '~';
    out += request;
    packet->swap(out);
    return 0;
  } catch (const std::exception&) {
    return Kvo_SetLastError(kErrBuildPacket);
  }
}

}  // namespace corvane
