// A hostile front end whose error text is 8 Mi characters (16 MB on the
// wire), met by a link probe: the Linux build's, or a Windows build's under
// Wine (the i686 product within its 2 GB address space).
#pragma once

#include <string>

#include "link_probe_runner.h"

namespace corvane::testing {

// The call fails with -7006 quoting 512 characters of the text; the noted
// causes (the diagnostics line) keep its first 4 KiB and name the file
// under log1/ that keeps it whole.
void ExpectHugeServerErrorTextCappedAndKeptWhole(const LinkProbe& probe,
                                                 const std::string& address);

}  // namespace corvane::testing
