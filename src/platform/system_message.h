// The platform's own text for a system or automation result code.
#pragma once

#include <cstdint>
#include <string>

namespace corvane::platform {

// The message text (system code page) without trailing line breaks, blanks
// or full stop; empty text when the platform has none for the code.
std::string SystemMessageText(int32_t code);

}  // namespace corvane::platform
