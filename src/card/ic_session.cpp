// The card session: opened at the first card operation of a transaction,
// closed at its end or by any error reply.
#include "card/card_library.h"
#include "card/ic_card.h"
#include "common/error_codes.h"
#include "common/error_reply.h"
#include "common/last_error.h"
#include "config/trade_cfg.h"

namespace corvane {

namespace {

int32_t g_session_open = 0;

void CloseForErrorReply() { Kvo_CloseIC(); }

// Error replies close the card session; the common part is handed the
// closer so that it need not know the card part.
struct CloserRegistration {
  CloserRegistration() { SetCardSessionCloser(&CloseForErrorReply); }
} g_closer_registration;

}  // namespace

int CardSessionOpen() { return g_session_open; }

int Kvo_OpenIC() {
  if (g_session_open == 1) return 0;
  try {
    const CardLibraryFunctions* lib = CardLibrary();
    // A missing library or function fails as a refused open; the reason is
    // kept in CardLibraryProblem().
    if (!lib) return Kvo_SetLastError(kErrICOpenSession, ErrorMessage(kErrICOpenSession));
    // A hardware fault inside the card library ends the open with -7036.
    int32_t result = 0;
    if (!GuardedCardCall([lib] { return lib->OpenSession(&IccEnv()); }, &result)) {
      return Kvo_SetLastError(kErrOpenIC, ErrorMessage(kErrOpenIC));
    }
    if (result != 0) {
      return Kvo_SetLastError(kErrICOpenSession, ErrorMessage(kErrICOpenSession));
    }
    if (!GuardedCardCall([lib] { return lib->PINVerify(&IccEnv()); }, &result)) {
      return Kvo_SetLastError(kErrOpenIC, ErrorMessage(kErrOpenIC));
    }
    if (result != 0) {
      // The reader was opened: release it, so that the next attempt finds
      // the port free and starts again with IC_OpenSession.
      int32_t ignored = 0;
      GuardedCardCall([lib] { return lib->CloseSession(&IccEnv()); }, &ignored);
      return Kvo_SetLastError(kErrICPINVerify, ErrorMessage(kErrICPINVerify));
    }
    g_session_open = 1;
    return 0;
  } catch (...) {
    return Kvo_SetLastError(kErrOpenIC, ErrorMessage(kErrOpenIC));
  }
}

int Kvo_CloseIC() {
  if (g_session_open == 0) return 0;
  const CardLibraryFunctions* lib = CardLibrary();
  bool closed = false;
  try {
    int32_t result = -1;
    closed = lib && GuardedCardCall([lib] { return lib->CloseSession(&IccEnv()); }, &result) &&
             result == 0;
  } catch (...) {
    closed = false;
  }
  if (!closed) return Kvo_SetLastError(kErrICCloseSession, ErrorMessage(kErrICCloseSession));
  g_session_open = 0;
  return 0;
}

}  // namespace corvane
