#include "common/last_error.h"

#include "common/error_codes.h"

namespace corvane {
namespace {
struct LastError {
  int32_t code = 0;
  std::string message;
};
LastError& Current() {
  static LastError error;
  return error;
}
}  // namespace

int Kvo_SetLastError(int32_t code, const std::string& message) {
  Current().code = code;
  Current().message = message;
  return -1;
}

int Kvo_SetLastError(int32_t code) { return Kvo_SetLastError(code, ErrorMessage(code)); }

int32_t LastErrorCode() { return Current().code; }
const std::string& LastErrorMessage() { return Current().message; }

}  // namespace corvane
