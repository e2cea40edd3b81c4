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
  std::string body;
  if (!detail.empty()) {
    body = detail;
  } else {
    body = std::string("-1~") + kComponentCode + "%%" + tag + "%%" +
           std::to_string(LastErrorCode()) + "%%" + "错误原因:" + LastErrorMessage();
  }
  WriteFailureDiagnostic(tag, detail);
  if (g_card_closer) g_card_closer();
  *reply = kFrame + platform::TrimText(body) + kFrame;
}

}  // namespace corvane
