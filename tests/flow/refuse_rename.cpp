// A library for LD_PRELOAD that refuses one rename as a full disk would
// (ENOSPC), so that a whole-flow test can make the journal fail at an exact
// step whatever the user (root ignores permissions):
//   CORVANE_REFUSE_ONTO       the target's name ends with this text
//   CORVANE_REFUSE_IF_NEW_HAS the new content holds this text (when set)
//   CORVANE_REFUSE_IF_OLD_HAS the replaced file holds this text (when set)
// Only the first rename that meets every condition is refused.
#include <dlfcn.h>
#include <errno.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::atomic<bool> g_refused{false};

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool Holds(const char* path, const std::string& text) {
  if (text.empty()) return true;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str().find(text) != std::string::npos;
}

bool Refuses(const char* from, const char* to) {
  const std::string onto = Env("CORVANE_REFUSE_ONTO");
  const std::string target = to;
  if (onto.empty() || g_refused.load() || target.size() < onto.size() ||
      target.compare(target.size() - onto.size(), onto.size(), onto) != 0)
    return false;
  if (!Holds(from, Env("CORVANE_REFUSE_IF_NEW_HAS")) || !Holds(to, Env("CORVANE_REFUSE_IF_OLD_HAS")))
    return false;
  return !g_refused.exchange(true);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int rename(const char* from, const char* to) {
  using Rename = int (*)(const char*, const char*);
  static Rename real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
  if (Refuses(from, to)) {
    errno = ENOSPC;
    return -1;
  }
  return real(from, to);
}
