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
#include <string_view>
#include <vector>

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
void RemoveStaleTempsIn(DIR* d, const std::string& name) {
  const pid_t self = getpid();
  while (struct dirent* e = readdir(d)) {
    pid_t writer = TempWriter(e->d_name, name);
    if (writer == 0 || writer == self) continue;
    if (kill(writer, 0) == 0 || errno != ESRCH) continue;
    unlinkat(dirfd(d), e->d_name, 0);
  }
}

// Gives the new file the old one's mode (and owner, where allowed).
void KeepAttributes(int fd, const struct stat& st) {
  fchmod(fd, st.st_mode & 07777);
  if (st.st_uid != geteuid() || st.st_gid != getegid()) {
    if (fchown(fd, st.st_uid, st.st_gid) != 0) { /* not ours to give: keep the writer's */ }
  }
}

// The target's directory, open for the length of one replace: its temporary
// files are listed through it, the new file is made and renamed inside it
// by name alone, and it is flushed after the rename.  When it cannot be
// opened the replace still goes ahead by full paths, but cannot be flushed.
class TargetDirectory {
 public:
  explicit TargetDirectory(const std::string& target)
      : dir_(opendir(DirectoryOf(target).c_str())),
        open_error_(dir_ ? 0 : errno),
        fd_(dir_ ? dirfd(dir_) : AT_FDCWD),
        name_(dir_ ? NameOf(target) : target) {}
  ~TargetDirectory() {
    if (dir_) closedir(dir_);
  }
  TargetDirectory(const TargetDirectory&) = delete;
  TargetDirectory& operator=(const TargetDirectory&) = delete;

  void RemoveStaleTemps() {
    if (dir_) RemoveStaleTempsIn(dir_, name_);
  }
  int fd() const { return fd_; }
  // The target's name relative to fd().
  const std::string& name() const { return name_; }
  // A file system that cannot flush a directory (EINVAL) has nothing more
  // to do.
  bool Flush() const {
    if (!dir_) errno = open_error_;
    return dir_ && (fsync(fd_) == 0 || errno == EINVAL);
  }

 private:
  DIR* dir_;
  int open_error_;
  int fd_;
  std::string name_;
};

// Writes the pieces into a new temporary file and renames it over the
// target; false (and no temporary file left) on any failure.
bool WriteAndRename(const TargetDirectory& at, const struct stat* attributes,
                    const std::vector<std::string_view>& pieces) {
  const std::string temp = at.name() + ".~" + std::to_string(getpid()) + "." +
                           std::to_string(g_temp_counter.fetch_add(1)) + ".tmp";
  int fd = openat(at.fd(), temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  if (attributes) KeepAttributes(fd, *attributes);
  bool ok = true;
  for (std::string_view piece : pieces) ok = ok && WriteAll(fd, piece.data(), piece.size());
  ok = ok && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  if (ok) ok = renameat(at.fd(), temp.c_str(), at.fd(), at.name().c_str()) == 0;
  if (!ok) {
    const int error = errno;  // the cause, for LastFileErrorText
    unlinkat(at.fd(), temp.c_str(), 0);
    errno = error;
  }
  return ok;
}

}  // namespace

bool ReplaceFileDurably(const std::string& path, const std::vector<std::string_view>& pieces) {
  struct stat st;
  bool exists = false;
  const std::string target = ResolveLinks(path, &st, &exists);
  // A file without any write permission is not replaced: a rename would
  // replace it whatever its mode (for root too), whereas Windows refuses to
  // move a file over a read-only one.
  if (exists && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
    errno = EACCES;
    return false;
  }
  TargetDirectory at(target);
  at.RemoveStaleTemps();
  return WriteAndRename(at, exists ? &st : nullptr, pieces) && at.Flush();
}

}  // namespace corvane::platform
