#include "platform/posix/errno_text.h"
#include "platform/system_message.h"

namespace corvane::platform {

// No message table for automation result codes here.
std::string SystemMessageText(int32_t) { return std::string(); }

std::string SystemErrorText(int code) { return ErrnoText(code) + " (errno " + std::to_string(code) + ")"; }

}  // namespace corvane::platform
