// doctor: checks a workstation without running a transaction.
#include "doctor.h"

#include "commands.h"
#include "platform/paths.h"

namespace corvane::host {

namespace doctor {
void Say(const HostText& text, const char* level, const std::string& message) {
  const std::string line = text.ToTerminal(std::string(level) + " " + message + "\n");
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}
}  // namespace doctor

int RunDoctor(Context& context, const Args&) {
  const std::string dir = platform::HostDirectory();
  const HostText& text = context.text;
  doctor::Say(text, "    ", "workstation folder " + dir);
  bool ok = doctor::CheckSettings(text, dir);
  ok = doctor::CheckFolder(text, dir) && ok;
  ok = doctor::CheckCodePage(text) && ok;
  ok = doctor::CheckFrontEnd(text, dir) && ok;
  ok = doctor::CheckCardLibrary(text) && ok;
  doctor::Say(text, ok ? "ok  " : "FAIL", ok ? "this workstation is ready"
                                             : "this workstation needs the fixes above");
  return ok ? kExitOk : kExitFailed;
}

}  // namespace corvane::host
