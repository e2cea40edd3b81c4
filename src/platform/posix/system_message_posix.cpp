#include "platform/system_message.h"

namespace corvane::platform {

// No message table for automation result codes here.
std::string SystemMessageText(int32_t) { return std::string(); }

}  // namespace corvane::platform
