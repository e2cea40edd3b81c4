// The durable replace of a file: a temporary file beside the target, written
// and flushed, renamed over the target, and the directory flushed so that
// the rename itself survives a power cut.  The target keeps its mode, and a
// symbolic link stays a link: the file it names is replaced.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/posix/files_posix.h"

namespace corvane::platform {
namespace {

std::atomic<unsigned> g_temp_counter{0};

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the file they name (which may not exist yet);
// *st gets that file's status and *exists whether it has one (one lstat
// per name on the way, the last one serving for the file itself).
std::string ResolveLinks(std::string path, struct stat* st, bool* exists) {
  for (int depth = 0; depth < 40; ++depth) {
    if (lstat(path.c_str(), st) != 0) {
      *exists = false;
      return path;
    }
    if (!S_ISLNK(st->st_mode)) {
      *exists = true;
      return path;
    }
    std::string target(PATH_MAX, '\0');
    ssize_t n = readlink(path.c_str(), &target[0], target.size());
    if (n <= 0) break;
    target.resize(static_cast<size_t>(n));
    path = target[0] == '/' ? target : DirectoryOf(path) + "/" + target;
  }
  // A link that cannot be read or followed further: its file as stat sees it.
  *exists = stat(path.c_str(), st) == 0;
  return path;
}

// "<name>.~<pid>.<n>.tmp": the writer's pid, or 0 for any other name.
pid_t TempWriter(const std::string& entry, const std::string& name) {
  const std::string prefix = name + ".~";
  const std::string suffix = ".tmp";
  if (entry.size() <= prefix.size() + suffix.size() || entry.compare(0, prefix.size(), prefix) != 0 ||
      entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0)
    return 0;
  const char* p = entry.c_str() + prefix.size();
  char* end = nullptr;
  long pid = std::strtol(p, &end, 10);
  if (end == p || *end != '.' || pid <= 0 || pid > INT_MAX) return 0;
  const char* q = end + 1;
  std::strtoul(q, &end, 10);
  if (end == q || end != entry.c_str() + entry.size() - suffix.size()) return 0;
  return static_cast<pid_t>(pid);
}

// Temporary files of this target whose writer no longer runs are left over
// from a writer that was killed; a live writer's (another process's, or
// ours) are left alone.
void RemoveStaleTemps(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  while (struct dirent* e = readdir(d)) {
    pid_t writer = TempWriter(e->d_name, name);
    if (writer == 0 || writer == getpid()) continue;
    if (kill(writer, 0) == 0 || errno != ESRCH) continue;
    unlinkat(dirfd(d), e->d_name, 0);
  }
  closedir(d);
}

// Gives the new file the old one's mode (and owner, where allowed).
void KeepAttributes(int fd, const struct stat& st) {
  fchmod(fd, st.st_mode & 07777);
  if (st.st_uid != geteuid() || st.st_gid != getegid()) {
    if (fchown(fd, st.st_uid, st.st_gid) != 0) { /* not ours to give: keep the writer's */ }
  }
}

// Flushes the directory's entries; a file system that cannot flush a
// directory (EINVAL) has nothing more to do.
bool FlushDirectory(const std::string& dir) {
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0 || errno == EINVAL;
  close(fd);
  return ok;
}

// A file without any write permission is not replaced: a rename would
// replace it whatever its mode (for root too), whereas Windows refuses to
// move a file over a read-only one.
bool ReadOnlyFile(const struct stat& st) { return S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0; }

}  // namespace

bool ReplaceFileDurably(const std::string& path, const std::string& content) {
  struct stat st;
  bool exists = false;
  const std::string target = ResolveLinks(path, &st, &exists);
  if (exists && ReadOnlyFile(st)) {
    errno = EACCES;
    return false;
  }
  const std::string dir = DirectoryOf(target);
  RemoveStaleTemps(dir, NameOf(target));
  std::string temp = target + ".~" + std::to_string(getpid()) + "." +
                     std::to_string(g_temp_counter.fetch_add(1)) + ".tmp";
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  if (exists) KeepAttributes(fd, st);
  bool ok = WriteAll(fd, content.data(), content.size()) && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    const int error = errno;  // the cause, for LastFileErrorText
    unlink(temp.c_str());
    errno = error;
    return false;
  }
  return FlushDirectory(dir);
}

}  // namespace corvane::platform
