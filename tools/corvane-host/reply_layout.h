// A reply laid out for people: its status, the reply, each "~" field on
// its own line with its "%%" sub-fields below it, and for an error reply
// its tag, code and message on lines of their own.  Texts stay GBK; the
// caller converts them for the terminal.
#pragma once

#include <cstdint>
#include <string>

namespace corvane::host {

// title: what was called ("init", "apply 31"...).  Lines end with '\n'.
std::string LayoutReply(const std::string& title, int32_t status, const std::string& reply);

}  // namespace corvane::host
