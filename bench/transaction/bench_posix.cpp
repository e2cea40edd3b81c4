#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "bench_os.h"

extern char** environ;

namespace corvane::bench {
namespace {

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = write(fd, p, n);
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

bool DurableReplace(const std::string& path, const std::string& content) {
  const std::string temp = path + ".tmp";
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content.data(), content.size()) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok && rename(temp.c_str(), path.c_str()) == 0;
  const std::string dir = std::filesystem::path(path).parent_path().string();
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return false;
  ok = fsync(dfd) == 0 && ok;
  close(dfd);
  return ok;
}

std::string MakeTempDir(const std::string& parent) {
  std::string pattern = parent + "/corvane-bench-XXXXXX";
  return mkdtemp(&pattern[0]) ? pattern : std::string();
}

bool MountTmpfs(const std::string& dir) {
  return mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=1g") == 0;
}

void Unmount(const std::string& dir) { umount2(dir.c_str(), MNT_DETACH); }

void RemoveTree(const std::string& dir) {
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

bool CopyFile(const std::string& from, const std::string& to) {
  std::error_code ec;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
  return !ec;
}

std::string FileSystemOf(const std::string& dir) {
  struct statfs s;
  if (statfs(dir.c_str(), &s) != 0) return "?";
  switch (static_cast<unsigned long>(s.f_type)) {
    case 0x01021994: return "tmpfs";
    case 0xEF53: return "ext4";
    case 0x58465342: return "xfs";
    case 0x9123683E: return "btrfs";
    case 0x794C7630: return "overlay";
    default: return "other";
  }
}

int Spawn(const std::vector<std::string>& argv, const std::string& out_file) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  int r = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return r == 0 ? pid : -1;
}

int WaitExit(int pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Stop(int pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  WaitExit(pid);
}

std::string SelfPath() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

ProcessUse CurrentUse() {
  ProcessUse use;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) use.rss_kb = std::atol(line.c_str() + 6);
    if (line.rfind("Threads:", 0) == 0) use.threads = std::atol(line.c_str() + 8);
  }
  if (DIR* d = opendir("/proc/self/fd")) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') ++use.descriptors;
    closedir(d);
    --use.descriptors;  // the listing's own descriptor
  }
  return use;
}

bool KeepOnProcessor(int processor) {
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(processor, &set);
  return pthread_setaffinity_np(pthread_self(), sizeof set, &set) == 0;
}

std::vector<int> UsableProcessors() {
  cpu_set_t set;
  CPU_ZERO(&set);
  std::vector<int> usable;
  if (sched_getaffinity(0, sizeof set, &set) != 0) return usable;
  for (int i = 0; i < CPU_SETSIZE; ++i)
    if (CPU_ISSET(i, &set)) usable.push_back(i);
  return usable;
}

}  // namespace corvane::bench
