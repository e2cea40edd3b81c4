#include "transport/errors.h"

#include <cstdio>

#include "platform/socket.h"
#include "transport/data_block.h"

namespace corvane::transport {

const char kInvalidDataPacket[] = "Invalid data packet";
const char kErrorReadingSocket[] = "Error reading from socket";

std::string TimeLimitText(int ms) {
  return "No answer from the server within " + std::to_string(ms) + " ms";
}

std::string BlockTooLargeText(int32_t size) {
  return "Data block of " + std::to_string(size) + " bytes exceeds the limit of " +
         std::to_string(kMaxBlockBodySize) + " bytes";
}
const char kNoAddressSpecified[] = "No address specified";
const char kCannotCreateSocket[] = "Can't create new socket";
const char kSocketAlreadyOpen[] = "Socket already open";
const char kReturnValueNotReceived[] = "Expected return value not received";

ESocketError MakeSocketError(int code, const char* api) {
  std::string text = platform::SocketErrorMessage(code);
  std::string message = "Windows socket error: " + text + " (" + std::to_string(code) +
                        "), on API '" + api + "'";
  return ESocketError(message, code, api);
}

EInterpreterError UnsupportedType(uint32_t type_word) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "Unsupported variant type: %.4X", type_word & 0xFFFFu);
  return EInterpreterError(buf);
}

}  // namespace corvane::transport
