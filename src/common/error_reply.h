// Error replies to the host:
//   "$$" + detail + "$$", or
//   "$$-1~1050%%" + tag + "%%" + code + "%%错误原因:" + message + "$$".
#pragma once

#include <string>

namespace corvane {

// The library's component code, also reported as its version owner.
extern const char kComponentCode[];  // "1050"

// Closes the card session if it is open.  The card part installs it; until
// then error replies close nothing.
using CardSessionCloser = void (*)();
void SetCardSessionCloser(CardSessionCloser closer);

void Kvo_MakeErrorReply(const std::string& tag, const std::string& detail, std::string* reply);

}  // namespace corvane
