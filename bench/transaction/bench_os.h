// What the benchmark needs from the operating system beyond the library's
// platform layer (Linux only: the benchmark runs where the simulators run).
#pragma once

#include <string>
#include <vector>

namespace corvane::bench {

// The durable replace a journal write cannot do without: write a temporary
// file, flush it, rename it over path, flush the directory.
bool DurableReplace(const std::string& path, const std::string& content);

// A fresh directory under parent ("" when it cannot be made).
std::string MakeTempDir(const std::string& parent);
// Mounts a fresh tmpfs on dir; false when the machine does not allow it.
bool MountTmpfs(const std::string& dir);
void Unmount(const std::string& dir);
void RemoveTree(const std::string& dir);
bool CopyFile(const std::string& from, const std::string& to);
// The file system type's name of a directory ("ext4", "tmpfs", ...).
std::string FileSystemOf(const std::string& dir);

// Starts a program with stdout and stderr to out_file; its id, or -1.
int Spawn(const std::vector<std::string>& argv, const std::string& out_file);
// Waits for it and gives its exit status (-1 when it did not exit).
int WaitExit(int pid);
void Stop(int pid);
std::string SelfPath();

struct ProcessUse {
  long rss_kb = 0;
  long threads = 0;
  long descriptors = 0;
};
ProcessUse CurrentUse();

// Keeps the calling thread on one processor; false when it cannot.
bool KeepOnProcessor(int processor);
// The processors this process may run on.
std::vector<int> UsableProcessors();

}  // namespace corvane::bench
