// Test support (Linux): temporary directories, files and child processes,
// for tests that run real programs (a host program, the simulators, Wine).
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace corvane::testing {

bool PathExists(const std::string& path);
// Copies a file into a directory (keeping its name and mode); returns the new path.
std::string CopyInto(const std::string& file, const std::string& dir);

// The build trees, from the environment that ctest sets.
std::string BuildDir();  // this build
std::string SourceDir();

// A wine test runs once per Windows build (corvane_add_wine_test): these
// name the Windows build of this run.
std::string WindowsBuildDir();  // empty in a plain Linux run
std::string WindowsTarget();    // "win64" (wine64) or "win32" (the i686 product)
// A loopback address of its own for test number n (below 128) of a wine
// test: 127.0.0.n in the win64 run, 127.0.0.(n+128) in the win32 run, so
// that both runs can go on at once.
std::string WineAddress(int n);

struct ProcessResult {
  int exit_code = -1;  // -1 when killed or not started
  std::string out;
  std::string err;
  long peak_rss_kb = 0;  // the program's largest resident set
};

// Runs a program to its end in cwd and collects its output.  A program that
// runs longer than timeout_ms is killed.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& cwd,
                         int timeout_ms = 60000,
                         const std::map<std::string, std::string>& env = {});

// argv prefixed with the Wine runner of this run (code page 936).
std::vector<std::string> UnderWine(const std::vector<std::string>& argv);

// A program running in the background until Stop() or destruction.
class BackgroundProcess {
 public:
  BackgroundProcess(const std::vector<std::string>& argv, const std::string& cwd,
                    const std::string& log_path = "");
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;
  bool running() const;
  void Stop();
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

// Waits until a TCP port accepts connections; false after timeout_ms.
bool WaitForPort(const std::string& address, int port, int timeout_ms = 10000);

}  // namespace corvane::testing
