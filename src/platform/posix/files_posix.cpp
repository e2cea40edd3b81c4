#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/posix/files_posix.h"
#include "platform/system_message.h"

namespace corvane::platform {

bool WriteAll(int fd, const char* data, size_t len) {
  while (len > 0) {
    ssize_t n = write(fd, data, len);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

ReadResult ReadWholeFile(const std::string& path, std::string* content) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
  // Read straight into the text, sized by the file (and grown should the
  // file grow meanwhile).  A read that comes back short once the size the
  // file stated is in is at the end: no further read is needed to see it
  // (files that state no size, such as those of /proc, are read to the end).
  struct stat st;
  size_t size = fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
  content->resize(size + 1);
  size_t have = 0;
  for (;;) {
    if (have == content->size()) content->resize(content->size() * 2);
    const size_t asked = content->size() - have;
    ssize_t n = read(fd, &(*content)[have], asked);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;  // the cause, for LastFileErrorText
      close(fd);
      content->clear();
      errno = error;
      return ReadResult::kFailed;
    }
    if (n == 0) break;
    have += static_cast<size_t>(n);
    if (static_cast<size_t>(n) < asked && size > 0 && have >= size) break;
  }
  content->resize(have);
  close(fd);
  return ReadResult::kOk;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes.data(), bytes.size());
  return (close(fd) == 0) && ok;
}

bool AppendFile::Open(const std::string& path) {
  Close();
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  handle_ = fd;
  path_ = path;
  return true;
}

bool AppendFile::Append(const std::string& bytes) {
  return IsOpen() && WriteAll(static_cast<int>(handle_), bytes.data(), bytes.size());
}

void AppendFile::Close() {
  if (!IsOpen()) return;
  close(static_cast<int>(handle_));
  handle_ = kClosed;
  path_.clear();
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const std::string& path) {
  if (mkdir(path.c_str(), 0755) == 0) return true;
  return DirectoryExists(path);
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

std::string LastFileErrorText() { return SystemErrorText(errno); }

}  // namespace corvane::platform
