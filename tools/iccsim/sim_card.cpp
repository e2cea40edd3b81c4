// The five functions of the simulated card reader library.  The card's data
// is kept in a file; every call is journalled with its arguments.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "config/trade_cfg.h"
#include "platform/call_convention.h"
#include "platform/files.h"
#include "sim_journal.h"
#include "sim_record_layout.h"
#include "sim_reenter.h"
#include "sim_settings.h"

using corvane::TICC_ENV;

namespace iccsim {
namespace {

// Results of the simulated reader besides 0 (success) and the configured
// failures.
constexpr int32_t kNoRecord = -1;     // the record's address is null
constexpr int32_t kWrongPin = 2;      // the PIN does not match the card's
constexpr int32_t kNoSession = 3;     // no open session, or PIN not verified
constexpr int32_t kStorageFailed = 4;  // the data file could not be read or written
constexpr int32_t kNoData = 5;        // null data, code or buffer

constexpr size_t kBufferSize = 1024;

bool g_open = false;
bool g_verified = false;

std::string Text(const char* p) { return p ? std::string(p) : std::string("(null)"); }

// The record's 500-byte text buffer, read no further than its end.
std::string BufferText(const char* p) {
  return p ? std::string(p, strnlen(p, 500)) : std::string("(null)");
}

JournalFields RecordFields(const TICC_ENV* env) {
  if (!env) return {{"record", "(null)"}};
  return {{"readtype", std::to_string(env->ReadType)}, {"cardtype", std::to_string(env->CardType)},
          {"port", std::to_string(env->Port)},         {"baud", std::to_string(env->Baud)},
          {"optype", std::to_string(env->OpType)},     {"codea", Text(env->CodeA)},
          {"codeb", Text(env->CodeB)},                 {"server", Text(env->ServerAddress)},
          {"text", BufferText(env->TextBuffer)}, {"layout", RecordLayout(env)}};
}

int32_t Finish(const Settings& s, Function f, JournalFields fields, int32_t result) {
  fields.emplace_back("result", std::to_string(result));
  AppendJournal(s.journal_file, JournalLine(kFunctionNames[f], fields));
  return result;
}

// Journals the call with "result=fault"; the exported function then writes
// through a null address, as a crashing reader driver would, once the call's
// own objects are gone (the fault leaves no frame of ours to unwind).
bool g_fault_due = false;
int32_t Fault(const Settings& s, Function f, JournalFields fields) {
  fields.emplace_back("result", "fault");
  AppendJournal(s.journal_file, JournalLine(kFunctionNames[f], fields));
  g_fault_due = true;
  return kNoRecord;
}

// A vendor's driver is not built with the sanitizers: the null check of a
// sanitizer build would stop the program before the fault the library must
// survive.
int* volatile g_nowhere = nullptr;
__attribute__((no_sanitize("null"))) int32_t Answer(int32_t result) {
  if (g_fault_due) {
    g_fault_due = false;
    *g_nowhere = 1;
  }
  return result;
}

bool ReadCard(const Settings& s, std::string* data) {
  switch (corvane::platform::ReadWholeFile(s.data_file, data)) {
    case corvane::platform::ReadResult::kOk: return true;
    case corvane::platform::ReadResult::kMissing: *data = s.initial_data; return true;
    default: return false;
  }
}

int32_t OpenSession(TICC_ENV* env) {
  const Settings s = LoadSettings();
  JournalFields fields = RecordFields(env);
  if (!env) return Finish(s, kOpenSession, fields, kNoRecord);
  if (s.reenter[kOpenSession]) ReenterLibrary(s);
  if (s.fault[kOpenSession]) return Fault(s, kOpenSession, fields);
  if (s.fail[kOpenSession]) return Finish(s, kOpenSession, fields, s.fail[kOpenSession]);
  g_open = true;
  g_verified = false;
  return Finish(s, kOpenSession, fields, 0);
}

int32_t PINVerify(TICC_ENV* env) {
  const Settings s = LoadSettings();
  JournalFields fields = RecordFields(env);
  if (!env) return Finish(s, kPINVerify, fields, kNoRecord);
  if (s.fault[kPINVerify]) return Fault(s, kPINVerify, fields);
  if (s.fail[kPINVerify]) return Finish(s, kPINVerify, fields, s.fail[kPINVerify]);
  if (!g_open) return Finish(s, kPINVerify, fields, kNoSession);
  if (!env->CodeB || s.pin != env->CodeB) return Finish(s, kPINVerify, fields, kWrongPin);
  g_verified = true;
  return Finish(s, kPINVerify, fields, 0);
}

int32_t GetData(TICC_ENV* env, int32_t mode, char* buffer) {
  const Settings s = LoadSettings();
  JournalFields fields{{"mode", std::to_string(mode)}};
  if (!env) return Finish(s, kGetData, fields, kNoRecord);
  if (!buffer) return Finish(s, kGetData, fields, kNoData);
  if (s.fault[kGetData]) return Fault(s, kGetData, fields);
  if (s.fail[kGetData]) return Finish(s, kGetData, fields, s.fail[kGetData]);
  if (!g_open || !g_verified) return Finish(s, kGetData, fields, kNoSession);
  std::string data;
  if (!ReadCard(s, &data)) return Finish(s, kGetData, fields, kStorageFailed);
  // The reader hands over at most what the buffer holds, terminated.
  data.resize(std::strlen(data.c_str()));
  if (data.size() > kBufferSize - 1) data.resize(kBufferSize - 1);
  std::memcpy(buffer, data.c_str(), data.size() + 1);
  fields.emplace_back("data", data);
  return Finish(s, kGetData, fields, 0);
}

int32_t SaveData(TICC_ENV* env, int32_t mode, const char* data, const char* code,
                 char* buffer) {
  const Settings s = LoadSettings();
  JournalFields fields{{"mode", std::to_string(mode)}, {"data", Text(data)}, {"code", Text(code)}};
  if (!env) return Finish(s, kSaveData, fields, kNoRecord);
  if (!data || !code || !buffer) return Finish(s, kSaveData, fields, kNoData);
  if (s.fault[kSaveData]) return Fault(s, kSaveData, fields);
  if (s.fail[kSaveData]) return Finish(s, kSaveData, fields, s.fail[kSaveData]);
  if (!g_open || !g_verified) return Finish(s, kSaveData, fields, kNoSession);
  if (!corvane::platform::ReplaceFileDurably(s.data_file, data)) {
    return Finish(s, kSaveData, fields, kStorageFailed);
  }
  // The reader's answer in the work buffer: the transaction code written.
  std::string answer = std::string("TAC") + code;
  answer.resize(std::min(answer.size(), kBufferSize - 1));
  std::memcpy(buffer, answer.c_str(), answer.size() + 1);
  return Finish(s, kSaveData, fields, 0);
}

int32_t CloseSession(TICC_ENV* env) {
  const Settings s = LoadSettings();
  JournalFields fields = RecordFields(env);
  if (!env) return Finish(s, kCloseSession, fields, kNoRecord);
  if (s.fault[kCloseSession]) return Fault(s, kCloseSession, fields);
  if (s.fail[kCloseSession]) return Finish(s, kCloseSession, fields, s.fail[kCloseSession]);
  g_open = false;
  g_verified = false;
  return Finish(s, kCloseSession, fields, 0);
}

}  // namespace
}  // namespace iccsim

using namespace iccsim;

extern "C" {

int32_t CORVANE_STDCALL IC_OpenSession(TICC_ENV* env) { return Answer(OpenSession(env)); }
int32_t CORVANE_STDCALL IC_PINVerify(TICC_ENV* env) { return Answer(PINVerify(env)); }
int32_t CORVANE_STDCALL IC_GetData(TICC_ENV* env, int32_t mode, char* buffer) {
  return Answer(GetData(env, mode, buffer));
}
int32_t CORVANE_STDCALL IC_SaveData(TICC_ENV* env, int32_t mode, const char* data,
                                    const char* code, char* buffer) {
  return Answer(SaveData(env, mode, data, code, buffer));
}
int32_t CORVANE_STDCALL IC_CloseSession(TICC_ENV* env) { return Answer(CloseSession(env)); }

}  // extern "C"
