// A reader library that calls back into CorvaneApply while one of its
// functions runs, as a driver pumping the host's messages might: for tests
// of the library's answer to a call made from inside another call.
#pragma once

#include "sim_settings.h"

namespace iccsim {

// On the calling thread, calls each of the library's four exports and
// journals what it answered ("reenter" lines); starts a thread that calls
// f_SetUserTradeCfg and journals its answer when it returns ("other-thread"),
// and journals whether that call had already returned when this function
// returns ("other-thread-waiting", returned=0 or 1).
void ReenterLibrary(const Settings& settings);

}  // namespace iccsim
