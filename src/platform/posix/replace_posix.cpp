// The durable replace of a file: a temporary file beside the target, written
// and flushed, renamed over the target, and the directory flushed so that
// the rename itself survives a power cut.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
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
bool ReadOnlyFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0;
}

}  // namespace

bool ReplaceFileDurably(const std::string& path, const std::string& content) {
  if (ReadOnlyFile(path)) {
    errno = EACCES;
    return false;
  }
  std::string temp = path + ".~" + std::to_string(getpid()) + "." +
                     std::to_string(g_temp_counter.fetch_add(1)) + ".tmp";
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content.data(), content.size()) && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  return FlushDirectory(DirectoryOf(path));
}

}  // namespace corvane::platform
