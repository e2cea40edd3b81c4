// The reader vendor's library ICCInter01046 and its five functions, loaded
// when a card operation first needs them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/trade_cfg.h"
#include "platform/call_convention.h"
#include "platform/fault_guard.h"

namespace corvane {

extern const char kCardLibraryName[];  // "ICCInter01046"

// Every function returns 0 on success, any other value on failure.
struct CardLibraryFunctions {
  int32_t(CORVANE_STDCALL* OpenSession)(TICC_ENV* env) = nullptr;
  int32_t(CORVANE_STDCALL* PINVerify)(TICC_ENV* env) = nullptr;
  // Writes zero-terminated card data into a 1024-byte buffer.
  int32_t(CORVANE_STDCALL* GetData)(TICC_ENV* env, int32_t mode, char* buffer) = nullptr;
  int32_t(CORVANE_STDCALL* SaveData)(TICC_ENV* env, int32_t mode, const char* data,
                                     const char* code, char* buffer) = nullptr;
  int32_t(CORVANE_STDCALL* CloseSession)(TICC_ENV* env) = nullptr;
};

// Size of the buffers handed to IC_GetData and IC_SaveData.
constexpr size_t kCardBufferSize = 1024;

// Where the library is looked for, in order: beside the host executable,
// beside our own library, then by bare file name (the system's own search).
std::vector<std::string> CardLibraryCandidates();

// Tries the candidates in order and takes the first file that loads and
// offers all five functions.  On failure *problem names every file tried
// and why it was refused (not found, or the function it lacks).  The loaded
// library stays in the process until it ends.
bool LoadCardLibrary(const std::vector<std::string>& candidates, CardLibraryFunctions* functions,
                     std::string* problem);

// Runs call() (one call of a card library function) guarded against
// hardware faults inside the library: true with *result set when it
// returned, false when a fault ended it (*result untouched).
template <typename F>
bool GuardedCardCall(const F& call, int32_t* result) {
  struct Context {
    const F* call;
    int32_t value;
  } context{&call, 0};
  bool returned = platform::CallGuarded(
      [](void* p) {
        Context* c = static_cast<Context*>(p);
        c->value = (*c->call)();
      },
      &context);
  if (returned) *result = context.value;
  return returned;
}

// The process's card library, loaded from CardLibraryCandidates() at the
// first call; a failed load is tried again at the next call.  nullptr when
// it cannot be used (CardLibraryProblem() says why).
const CardLibraryFunctions* CardLibrary();

}  // namespace corvane
