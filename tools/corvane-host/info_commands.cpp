// version and codepage: facts about this program, the library and the
// system, without calling the library.
#include "commands.h"
#include "corvane_version.h"
#include "platform/file_version.h"
#include "platform/terminal.h"

namespace corvane::host {

int RunVersion(Context& context, const Args&) {
  std::printf("corvane-host %s\n", CORVANE_VERSION);
  std::string error;
  const std::string version = platform::FileVersion(context.library_path, &error);
  if (version.empty()) {
    std::printf("library %s: version unknown (%s)\n", context.library_path.c_str(), error.c_str());
    return kExitFailed;
  }
  std::printf("library %s: %s %s\n", context.library_path.c_str(), CORVANE_PRODUCT_NAME,
              version.c_str());
  return kExitOk;
}

int RunCodePage(Context& context, const Args&) {
  const unsigned system = platform::SystemCodePage();
  if (context.text.raw()) {
    std::printf("%u\n", system);
    return kExitOk;
  }
  const platform::TerminalEncoding e = platform::TerminalTextEncoding();
  if (system)
    std::printf("system ANSI code page: %u%s\n", system,
                system == 936 ? "" : " (not 936: the library's texts will be garbled)");
  else
    std::printf("system ANSI code page: none on this system; the library converts its texts\n"
                "  as code page 936 (GBK) itself\n");
  std::printf("terminal encoding: %s%s\n", e.name.c_str(),
              e.known ? "" : " (cannot be told: texts taken as UTF-8)");
  return kExitOk;
}

}  // namespace corvane::host
