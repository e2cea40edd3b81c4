// A library for LD_PRELOAD that refuses one rename (rename or renameat) as a
// full disk would (ENOSPC), so that a whole-flow test can make the journal
// fail at an exact step whatever the user (root ignores permissions):
//   CORVANE_REFUSE_ONTO       the target's name ends with this text
//   CORVANE_REFUSE_IF_NEW_HAS the new content holds this text (when set)
//   CORVANE_REFUSE_IF_OLD_HAS the replaced file holds this text (when set)
// Only the first rename that meets every condition is refused.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

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

// A name relative to a directory descriptor as a path.
std::string PathAt(int dir, const char* name) {
  if (name[0] == '/' || dir == AT_FDCWD) return name;
  char buf[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(dir);
  const ssize_t n = readlink(link.c_str(), buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) + "/" + name : name;
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

extern "C" __attribute__((visibility("default"))) int renameat(int from_dir, const char* from,
                                                               int to_dir, const char* to) {
  using RenameAt = int (*)(int, const char*, int, const char*);
  static RenameAt real = reinterpret_cast<RenameAt>(dlsym(RTLD_NEXT, "renameat"));
  if (Refuses(PathAt(from_dir, from).c_str(), PathAt(to_dir, to).c_str())) {
    errno = ENOSPC;
    return -1;
  }
  return real(from_dir, from, to_dir, to);
}
