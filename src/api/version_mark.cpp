// The library's version in its own file, as a what-string ("@(#)" + name +
// blank + version) that tools read without calling into the library (the
// export table holds the four functions and nothing else).  On Windows the
// DLL's version resource carries the same number.
#include "corvane_version.h"

namespace {
[[gnu::used]] const char kVersionMark[] = "@(#)" CORVANE_PRODUCT_NAME " " CORVANE_VERSION;
}  // namespace
