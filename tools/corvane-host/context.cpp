#include "commands.h"

namespace corvane::host {

Library* Context::LoadedLibrary() {
  if (!tried_) {
    tried_ = true;
    std::string error;
    loaded_ = library_.Load(library_path, &error);
    if (!loaded_) std::fprintf(stderr, "corvane-host: %s\n", error.c_str());
  }
  return loaded_ ? &library_ : nullptr;
}

void Context::Print(const std::string& gbk) const {
  const std::string out = text.ToTerminal(gbk);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
}

}  // namespace corvane::host
