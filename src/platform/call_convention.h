// The calling convention of functions exchanged with vendor libraries: the
// standard system convention (the callee removes the arguments), which only
// differs from the default on 32-bit Windows.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define CORVANE_STDCALL __stdcall
#else
#define CORVANE_STDCALL
#endif
