// Error replies to the host:
//   "$$" + detail + "$$", or
//   "$$-1~1050%%" + tag + "%%" + code + "%%错误原因:" + message + "$$".
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The library's component code, also reported as its version owner.
extern const char kComponentCode[];  // "1050"

// Closes the card session if it is open.  The library's start installs it;
// until then error replies close nothing.
using CardSessionCloser = void (*)();
void SetCardSessionCloser(CardSessionCloser closer);

// The diagnostics line of a failure (see Kvo_MakeErrorReply).
void WriteFailureDiagnostic(const std::string& tag, const std::string& detail);

// The error reply for the failing step named by tag.  Also writes the
// failure's diagnostics line: the tag, the last error code and the noted
// causes (the last error message when none was noted), followed by the
// detail text when there is one.
void Kvo_MakeErrorReply(const std::string& tag, const std::string& detail, std::string* reply);

// The standard error body "-1~1050%%<tag>%%<code>%%错误原因:<message>".
std::string ErrorBody(const std::string& tag, int32_t code, const std::string& message);

// The framed error reply for tag, code and message, touching nothing: no
// last error recorded, no card session closed.
std::string ErrorReplyText(const std::string& tag, int32_t code, const std::string& message);

}  // namespace corvane
