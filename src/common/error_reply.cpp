#include "common/error_reply.h"

#include "common/diagnostics.h"
#include "common/frame.h"
#include "common/last_error.h"
#include "platform/text.h"

namespace corvane {

const char kComponentCode[] = "1050";

namespace {
CardSessionCloser g_card_closer = nullptr;
}

void SetCardSessionCloser(CardSessionCloser closer) { g_card_closer = closer; }

void WriteFailureDiagnostic(const std::string& tag, const std::string& detail) {
  std::string cause = TakeNotedCauses();
  if (cause.empty()) cause = LastErrorMessage();
  if (!detail.empty()) cause += "; reply: " + ReplyHeadText(detail);
  Kvo_WriteDiagnostic(tag, LastErrorCode(), cause);
}

void Kvo_MakeErrorReply(const std::string& tag, const std::string& detail, std::string* reply) {
  reply->clear();
  // Composed before the card session closes: a failing close records an
  // error of its own.
  std::string text = detail.empty() ? ErrorReplyText(tag, LastErrorCode(), LastErrorMessage())
                                    : kFrame + platform::TrimText(detail) + kFrame;
  WriteFailureDiagnostic(tag, detail);
  if (g_card_closer) g_card_closer();
  *reply = std::move(text);
}

std::string ErrorBody(const std::string& tag, int32_t code, const std::string& message) {
  return std::string("-1~") + kComponentCode + "%%" + tag + "%%" + std::to_string(code) + "%%" +
         "错误原因:" + message;
}

std::string ErrorReplyText(const std::string& tag, int32_t code, const std::string& message) {
  return kFrame + platform::TrimText(ErrorBody(tag, code, message)) + kFrame;
}

}  // namespace corvane
