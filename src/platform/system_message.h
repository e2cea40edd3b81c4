// The platform's own text for a system or automation result code.
#pragma once

#include <cstdint>
#include <string>

namespace corvane::platform {

// The message text (system code page) without trailing line breaks, blanks
// or full stop; empty text when the platform has none for the code.
std::string SystemMessageText(int32_t code);

// The system's words for one of its error numbers (errno; GetLastError() on
// Windows) followed by the number: "No space left on device (errno 28)",
// "Access is denied (error 5)".
std::string SystemErrorText(int code);

}  // namespace corvane::platform
