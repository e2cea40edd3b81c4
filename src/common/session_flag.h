// The initialised flag: 1 while a session is open.
#pragma once

namespace corvane {

void SetSessionInitialised(int value);

// 0 when the initialised flag is set; -1 with -7003 otherwise.
int Kvo_CheckInit();

}  // namespace corvane
