// The checks of `corvane-host doctor`: each prints its findings, one line
// each, "ok", "warn" or "FAIL" first, and returns false when it failed.
#pragma once

#include <string>

#include "host_text.h"

namespace corvane::host::doctor {

// One finding; GBK texts are converted for the terminal.
void Say(const HostText& text, const char* level, const std::string& message);

// dir: the folder of the host program, ending with its separator.
bool CheckSettings(const HostText& text, const std::string& dir);
bool CheckFolder(const HostText& text, const std::string& dir);
bool CheckCodePage(const HostText& text);
bool CheckFrontEnd(const HostText& text, const std::string& dir);
bool CheckCardLibrary(const HostText& text);

}  // namespace corvane::host::doctor
