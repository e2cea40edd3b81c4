#include "trade/unrecorded_trade.h"

#include <exception>

#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/error_reply.h"
#include "common/frame.h"
#include "common/last_error.h"
#include "config/ini_file.h"
#include "config/limit_settings.h"
#include "platform/text.h"

namespace corvane {
namespace {

// True when the framed reply of this body and its zero byte fit the buffer
// that the host stated (any reply fits when it stated none).
bool FitsReplyBuffer(const std::string& body) {
  int32_t limit = 0;
  try {
    limit = Kvo_ReadLimitSetting(kKeyReplyBufferSize);
  } catch (...) {
    limit = 0;
  }
  if (limit <= 0) return true;
  const size_t framed = platform::TrimText(body).size() + 2 * std::string(kFrame).size();
  return framed < static_cast<size_t>(limit);
}

}  // namespace

bool JournalWritten(const std::function<void()>& write) {
  try {
    write();
    return true;
  } catch (const IniFileError& e) {
    Kvo_NoteCause("journal not written: " + e.WithCause());
  } catch (const std::exception& e) {
    Kvo_NoteCause(std::string("journal not written: ") + e.what());
  } catch (...) {
    Kvo_NoteCause("journal not written: unknown failure");
  }
  return false;
}

std::string UnrecordedTradeBody(const std::string& tag, int32_t trade_no,
                                const std::string& front_reply) {
  const std::string kept = Kvo_KeepWholeText("CorvaneReply", front_reply);
  Kvo_NoteCause("front end reply of " + std::to_string(front_reply.size()) + " bytes " +
                (kept.empty() ? std::string("could not be kept in log1") : "kept whole in " + kept));
  Kvo_SetLastError(kErrTradeNotRecorded,
                   TradeNotRecordedMessage(trade_no, kept.empty() ? "(未能保存)" : kept));
  const std::string body = ErrorBody(tag, kErrTradeNotRecorded, LastErrorMessage());
  const std::string whole = body + "~" + front_reply;
  return FitsReplyBuffer(whole) ? whole : body;
}

}  // namespace corvane
