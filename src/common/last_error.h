// The library-wide last error: a code and a message, set only through
// Kvo_SetLastError and never cleared.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Stores code and message; always returns -1 so that a failing routine can
// end with "return Kvo_SetLastError(...)".
int Kvo_SetLastError(int32_t code, const std::string& message);
// The same with the code's fixed message (common/error_codes.h).
int Kvo_SetLastError(int32_t code);

int32_t LastErrorCode();
const std::string& LastErrorMessage();

}  // namespace corvane
