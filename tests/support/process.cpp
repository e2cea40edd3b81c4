#include "support/process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace corvane::testing {
namespace fs = std::filesystem;

bool PathExists(const std::string& path) { return fs::exists(path); }

std::string CopyInto(const std::string& file, const std::string& dir) {
  fs::path target = fs::path(dir) / fs::path(file).filename();
  fs::copy_file(file, target, fs::copy_options::overwrite_existing);
  return target.string();
}

namespace {
std::string Env(const char* name) {
  const char* v = getenv(name);
  return v ? v : "";
}
}  // namespace

std::string BuildDir() { return Env("CORVANE_BUILD_DIR"); }
std::string SourceDir() { return Env("CORVANE_SOURCE_DIR"); }
std::string WindowsBuildDir() { return Env("CORVANE_WINDOWS_BUILD"); }
std::string WindowsTarget() { return Env("CORVANE_WINDOWS_TARGET"); }

std::string WineAddress(int n) {
  return "127.0.0." + std::to_string(WindowsTarget() == "win32" ? n + 128 : n);
}

std::vector<std::string> UnderWine(const std::vector<std::string>& argv) {
  std::string wine = Env("CORVANE_WINE");
  std::vector<std::string> full{wine.empty() ? SourceDir() + "/scripts/wine-run.sh" : wine};
  full.insert(full.end(), argv.begin(), argv.end());
  return full;
}

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::string& cwd, int out_fd, int err_fd,
            const std::map<std::string, std::string>& env) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  setpgid(0, 0);
  if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
  int devnull = open("/dev/null", O_RDONLY);
  dup2(devnull, 0);
  if (out_fd >= 0) dup2(out_fd, 1);
  if (err_fd >= 0) dup2(err_fd, 2);
  for (const auto& kv : env) setenv(kv.first.c_str(), kv.second.c_str(), 1);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& cwd,
                         int timeout_ms, const std::map<std::string, std::string>& env) {
  ProcessResult result;
  int out_pipe[2], err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return result;
  pid_t pid = Spawn(argv, cwd, out_pipe[1], err_pipe[1], env);
  close(out_pipe[1]);
  close(err_pipe[1]);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  int open_fds = 2;
  bool killed = false;
  while (open_fds > 0) {
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    deadline - std::chrono::steady_clock::now())
                                    .count());
    if (left <= 0) {
      kill(-pid, SIGKILL);
      killed = true;
      break;
    }
    if (poll(fds, 2, left) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buf[4096];
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_fds;
      } else {
        (i == 0 ? result.out : result.err).append(buf, static_cast<size_t>(n));
      }
    }
  }
  for (auto& f : fds) {
    if (f.fd >= 0) close(f.fd);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  result.peak_rss_kb = usage.ru_maxrss;
  if (!killed && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv, const std::string& cwd,
                                     const std::string& log_path) {
  int fd = -1;
  if (!log_path.empty()) fd = open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_ = Spawn(argv, cwd, fd, fd, {});
  if (fd >= 0) close(fd);
}

BackgroundProcess::~BackgroundProcess() { Stop(); }

bool BackgroundProcess::running() const {
  if (pid_ <= 0) return false;
  return waitpid(pid_, nullptr, WNOHANG) == 0;
}

void BackgroundProcess::Stop() {
  if (pid_ <= 0) return;
  kill(-pid_, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) != 0) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(-pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

bool WaitForPort(const std::string& address, int port, int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
    int r = connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    close(s);
    if (r == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

}  // namespace corvane::testing
