// Whether this test program is built with AddressSanitizer: its quarantine
// of freed blocks and its shadow memory make the resident memory of the
// process no measure of the code's own (tests of memory figures skip).
#pragma once

namespace corvane::testing {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

}  // namespace corvane::testing
