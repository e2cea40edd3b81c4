#include "common/session_flag.h"

#include "common/error_codes.h"
#include "common/last_error.h"

namespace corvane {

namespace {
int g_initialised = 0;
}

void SetSessionInitialised(int value) { g_initialised = value; }

int Kvo_CheckInit() {
  if (g_initialised != 0) return 0;
  return Kvo_SetLastError(kErrNotInitialised);
}

}  // namespace corvane
