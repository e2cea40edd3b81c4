// A card library that lacks IC_SaveData, to check that the loader refuses it
// and says which function is missing.
#include <cstdint>

#include "platform/call_convention.h"

extern "C" {
int32_t CORVANE_STDCALL IC_OpenSession(void*) { return 0; }
int32_t CORVANE_STDCALL IC_PINVerify(void*) { return 0; }
int32_t CORVANE_STDCALL IC_GetData(void*, int32_t, char*) { return 0; }
int32_t CORVANE_STDCALL IC_CloseSession(void*) { return 0; }
}
