#include "host_library.h"

#include "platform/paths.h"

namespace corvane::host {

bool Library::Load(const std::string& path, std::string* error) {
  if (!lib.Open(path)) {
    *error = "cannot load " + path + ": " + lib.Error();
    return false;
  }
  init = reinterpret_cast<InitFn>(lib.Symbol("f_UserCorvaneInit"));
  apply = reinterpret_cast<ApplyFn>(lib.Symbol("f_UserCorvaneApply"));
  close = reinterpret_cast<CloseFn>(lib.Symbol("f_UserCorvaneClose"));
  setcfg = reinterpret_cast<SetCfgFn>(lib.Symbol("f_SetUserTradeCfg"));
  if (!init || !apply || !close || !setcfg) {
    *error = path + " lacks an export: " + lib.Error();
    return false;
  }
  return true;
}

std::string DefaultLibraryPath() {
  return platform::HostDirectory() + platform::SharedLibraryFileName("CorvaneApply");
}

}  // namespace corvane::host
