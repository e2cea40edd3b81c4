// The four exported functions: thin adapters that turn the host's texts
// into strings, call one implementation routine, copy the reply into the
// host's buffer and return the status.  No fault leaves them.
#define CORVANE_BUILDING_LIBRARY
#include "corvane_apply.h"

#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "api/call_guard.h"
#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/gbk_bytes.h"
#include "common/error_reply.h"
#include "common/last_error.h"
#include "common/trade_numbers.h"
#include "config/ini_file.h"
#include "config/limit_settings.h"
#include "link/trade_log.h"
#include "trade/entry.h"
#include "trade/library_start.h"

namespace {

std::string Text(const char* p) { return p ? std::string(p) : std::string(); }

void CopyReply(const std::string& reply, char* buffer) {
  if (!buffer) return;
  std::memcpy(buffer, reply.data(), reply.size());
  buffer[reply.size()] = '\0';
}

// Causes noted during a call that no error reply took (a failure that the
// flow ignores, such as an unlock after a failed remote call) get a line of
// their own under the export's name.
void WriteLeftoverCauses(const char* tag, int32_t status) {
  const std::string causes = corvane::TakeNotedCauses();
  if (causes.empty()) return;
  corvane::Kvo_WriteDiagnostic(tag, status == 0 ? 0 : corvane::LastErrorCode(), causes);
}

// A reply that would not fit the buffer size the integrator stated
// (ReplyBufferSize) is kept whole in log1/ and replaced by a -7009 reply
// naming both sizes; the status becomes -1.  Nothing is ever written past
// the stated size.
void FitReply(const char* tag, int32_t* status, std::string* reply) {
  const int32_t limit = corvane::Kvo_ReadLimitSetting(corvane::kKeyReplyBufferSize);
  if (limit <= 0 || reply->size() < static_cast<size_t>(limit)) return;
  const std::string kept = corvane::Kvo_KeepWholeText("CorvaneReply", *reply);
  const std::string where = kept.empty() ? "(未能保存)" : kept;
  corvane::Kvo_WriteDiagnostic(tag, corvane::kErrReplyTooLarge,
                               "reply of " + std::to_string(reply->size() + 1) +
                                   " bytes does not fit the buffer of " + std::to_string(limit) +
                                   " bytes; kept whole in " + (kept.empty() ? "no file" : kept));
  corvane::Kvo_SetLastError(corvane::kErrReplyTooLarge,
                            corvane::ReplyTooLargeMessage(reply->size() + 1, limit, where));
  *reply = corvane::ErrorReplyText(tag, corvane::kErrReplyTooLarge, corvane::LastErrorMessage());
  if (reply->size() >= static_cast<size_t>(limit))
    *reply = corvane::GbkPrefix(*reply, static_cast<size_t>(limit) - 1);
  *status = -1;
}

// The fault of an implementation routine as status -1 and an error reply
// tagged with the export's name.
int32_t FaultReply(const char* tag, const std::string& cause, std::string* reply) {
  try {
    corvane::Kvo_SetLastError(corvane::kErrUnexpected, corvane::UnexpectedFaultMessage(cause));
    corvane::Kvo_MakeErrorReply(tag, "", reply);
  } catch (...) {
    *reply = "$$-1~1050$$";
  }
  return -1;
}

// At unload the library releases what its start set up (nothing runs at
// load: the start is the first step of every call).
struct LibraryEnd {
  ~LibraryEnd() { corvane::Kvo_EndLibrary(); }
} g_library_end;

// Runs one implementation routine, one call at a time; a fault becomes
// status -1 and an error reply, a call re-entering from inside another
// gets the busy reply (-7010) and changes nothing.  With hold_ini_files
// the ini files read for the routine serve the reply's size check too.
template <typename Body>
int32_t Guarded(const char* tag, char* buffer, Body body, bool hold_ini_files = false) {
  corvane::CallGuard guard;
  if (guard.Reentered()) {
    CopyReply(corvane::ErrorReplyText(tag, corvane::kErrBusy, corvane::ErrorMessage(corvane::kErrBusy)),
              buffer);
    return -1;
  }
  corvane::Kvo_StartLibrary();
  corvane::TradeLogCallScope daily_log;  // the daily log stays open for this call
  std::optional<corvane::IniCallScope> ini_files;
  if (hold_ini_files) ini_files.emplace();
  std::string reply;
  int32_t status;
  corvane::TakeNotedCauses();
  try {
    status = body(&reply);
  } catch (const corvane::IniFileError& e) {
    // The reply quotes what(); the system's words go to the diagnostics log.
    corvane::Kvo_NoteCause(e.WithCause());
    status = FaultReply(tag, e.what(), &reply);
  } catch (const std::exception& e) {
    status = FaultReply(tag, e.what(), &reply);
  } catch (...) {
    status = FaultReply(tag, "unknown", &reply);
  }
  try {
    FitReply(tag, &status, &reply);
  } catch (...) {
    // Settings unreadable: the reply goes out as it is.
  }
  WriteLeftoverCauses(tag, status);
  CopyReply(reply, buffer);
  return status;
}

}  // namespace

extern "C" {

CORVANE_API int32_t CORVANE_CALL f_UserCorvaneInit(const char* request, char* reply, int32_t) {
  return Guarded("动态库入口(f_UserCorvaneInit)", reply, [&](std::string* out) {
    return corvane::f_UCInit(Text(request), out);
  });
}

CORVANE_API int32_t CORVANE_CALL f_UserCorvaneApply(int32_t trade_no, double serial,
                                                    const char* request, char* reply,
                                                    const char* extra) {
  // A transaction reads the settings once (the dialog reads them afresh).
  const bool transaction = trade_no != corvane::kSettingsDialogTrade;
  return Guarded("动态库入口(f_UserCorvaneApply)", reply, [&](std::string* out) {
    return corvane::f_UCApply(trade_no, Text(request), serial, Text(extra), out);
  }, transaction);
}

CORVANE_API int32_t CORVANE_CALL f_UserCorvaneClose(const char* request, char* reply,
                                                    const char*) {
  return Guarded("动态库入口(f_UserCorvaneClose)", reply, [&](std::string* out) {
    return corvane::f_UCClose(Text(request), out);
  });
}

CORVANE_API int32_t CORVANE_CALL f_SetUserTradeCfg(int32_t, int32_t, const char*, char* reply) {
  return Guarded("动态库入口(f_SetUserTradeCfg)", reply, [&](std::string* out) {
    out->clear();
    return 0;
  });
}

}  // extern "C"
