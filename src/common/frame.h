// The "$$" frame around host requests and replies.
#pragma once

#include <string>

namespace corvane {

extern const char kFrame[];  // "$$"

// Strips the frame of a host request into *content; -1 with -7001 when the
// request is not framed (content untouched).
int Kvo_CheckEntryPara(const std::string& request, std::string* content);

// *out = trimmed head + content + trimmed tail; -1 with -7031 on a fault.
int Kvo_MergeExportPara(const std::string& content, const std::string& head,
                        const std::string& tail, std::string* out);

}  // namespace corvane
