// The card session: opened at the first card operation of a transaction,
// closed at its end or by any error reply.
#include <exception>
#include <string>

#include "card/card_library.h"
#include "card/ic_card.h"
#include "common/diagnostics.h"
#include "common/error_codes.h"
#include "common/last_error.h"
#include "config/trade_cfg.h"

namespace corvane {

namespace {

int32_t g_session_open = 0;

// Notes the cause and records the code of a failed open.
int OpenFailed(int32_t code, const std::string& cause) {
  Kvo_NoteCause("card: " + std::to_string(code) + " " + cause);
  return Kvo_SetLastError(code);
}

std::string Returned(const char* function, int32_t result) {
  return std::string(function) + " returned " + std::to_string(result);
}

std::string Faulted(const char* function) {
  return std::string("a fault inside the card library ended ") + function;
}

}  // namespace

int CardSessionOpen() { return g_session_open; }

int Kvo_OpenIC() {
  if (g_session_open == 1) return 0;
  try {
    const CardLibraryFunctions* lib = CardLibrary();
    // A missing library or function fails as a refused open; the cause
    // names every file tried.
    if (!lib) {
      return OpenFailed(kErrICOpenSession,
                        std::string("card library not usable: ") + CardLibraryProblem());
    }
    // A hardware fault inside the card library ends the open with -7036.
    int32_t result = 0;
    if (!GuardedCardCall([lib] { return lib->OpenSession(&IccEnv()); }, &result)) {
      return OpenFailed(kErrOpenIC, Faulted("IC_OpenSession"));
    }
    if (result != 0) return OpenFailed(kErrICOpenSession, Returned("IC_OpenSession", result));
    if (!GuardedCardCall([lib] { return lib->PINVerify(&IccEnv()); }, &result)) {
      return OpenFailed(kErrOpenIC, Faulted("IC_PINVerify"));
    }
    if (result != 0) {
      // The reader was opened: release it, so that the next attempt finds
      // the port free and starts again with IC_OpenSession.
      int32_t ignored = 0;
      GuardedCardCall([lib] { return lib->CloseSession(&IccEnv()); }, &ignored);
      return OpenFailed(kErrICPINVerify, Returned("IC_PINVerify", result) +
                                             " (wrong PIN, or a card of another type)");
    }
    g_session_open = 1;
    return 0;
  } catch (const std::exception& e) {
    return OpenFailed(kErrOpenIC, e.what());
  } catch (...) {
    return OpenFailed(kErrOpenIC, "unknown failure");
  }
}

int Kvo_CloseIC() {
  if (g_session_open == 0) return 0;
  const CardLibraryFunctions* lib = CardLibrary();
  int32_t result = -1;
  const bool closed =
      lib && GuardedCardCall([lib] { return lib->CloseSession(&IccEnv()); }, &result) &&
      result == 0;
  if (!closed) {
    Kvo_NoteCause("card: " + std::to_string(kErrICCloseSession) +
                  (lib ? " IC_CloseSession failed" : " card library not usable"));
    return Kvo_SetLastError(kErrICCloseSession);
  }
  g_session_open = 0;
  return 0;
}

}  // namespace corvane
