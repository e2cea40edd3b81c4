// The four exported functions: thin adapters that turn the host's texts
// into strings, call one implementation routine, copy the reply into the
// host's buffer and return the status.  No fault leaves them.
#define CORVANE_BUILDING_LIBRARY
#include "corvane_apply.h"

#include <cstring>
#include <exception>
#include <string>

#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/error_reply.h"
#include "common/last_error.h"
#include "trade/entry.h"

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

// Runs one implementation routine; a fault becomes status -1 and an error
// reply tagged with the export's name.
template <typename Body>
int32_t Guarded(const char* tag, char* buffer, Body body) {
  std::string reply;
  int32_t status;
  corvane::TakeNotedCauses();
  try {
    status = body(&reply);
  } catch (const std::exception& e) {
    status = -1;
    try {
      corvane::Kvo_SetLastError(corvane::kErrUnexpected, corvane::UnexpectedFaultMessage(e.what()));
      corvane::Kvo_MakeErrorReply(tag, "", &reply);
    } catch (...) {
      reply = "$$-1~1050$$";
    }
  } catch (...) {
    status = -1;
    try {
      corvane::Kvo_SetLastError(corvane::kErrUnexpected, corvane::UnexpectedFaultMessage("unknown"));
      corvane::Kvo_MakeErrorReply(tag, "", &reply);
    } catch (...) {
      reply = "$$-1~1050$$";
    }
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
  return Guarded("动态库入口(f_UserCorvaneApply)", reply, [&](std::string* out) {
    return corvane::f_UCApply(trade_no, Text(request), serial, Text(extra), out);
  });
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
