#include <windows.h>

#include "platform/system_message.h"
#include "platform/text.h"

namespace corvane::platform {

std::string SystemMessageText(int32_t code) {
  char buf[1024];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, buf, sizeof buf, nullptr);
  std::string text(buf, n);
  while (!text.empty() && (IsBlankOrControl(static_cast<unsigned char>(text.back())) || text.back() == '.'))
    text.pop_back();
  return text;
}

std::string SystemErrorText(int code) {
  const std::string text = SystemMessageText(code);
  return (text.empty() ? std::string("system error") : text) + " (error " + std::to_string(code) + ")";
}

}  // namespace corvane::platform
