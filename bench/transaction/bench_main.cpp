// bench_transaction: the library's transactions beside the floor every
// transaction must pay (the network exchange with the front end and the
// journal's durable replaces), measured side by side in one run.
//
//   bench_transaction [--quick] [--only TEXT] [--pairs N]
//
// Prints one table; see the README's performance section.  --quick runs a
// few rounds of each case to check that everything works; --only runs the
// cases whose name contains TEXT ("remote", "card", "reply", "ini", "soak");
// --pairs sets the number of pairs of each case (on a busy machine more
// pairs steady the medians).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_os.h"
#include "bench_report.h"
#include "ini_case.h"
#include "station.h"

namespace corvane::bench {
namespace {

struct Roots {
  std::string disk, tmpfs;
  bool mounted = false;
};

Roots MakeRoots() {
  Roots r;
  r.disk = MakeTempDir("/var/tmp");
  r.tmpfs = MakeTempDir("/tmp");
  r.mounted = !r.tmpfs.empty() && MountTmpfs(r.tmpfs);
  if (!r.mounted) {
    RemoveTree(r.tmpfs);
    r.tmpfs = MakeTempDir("/dev/shm");
  }
  return r;
}

void DropRoots(const Roots& r) {
  if (r.mounted) Unmount(r.tmpfs);
  RemoveTree(r.tmpfs);
  RemoveTree(r.disk);
}

// Fills a workstation directory under root: this program, the library and
// the card simulator library.
std::string MakeStation(const std::string& root) {
  std::string dir = MakeTempDir(root);
  bool ok = !dir.empty() && CopyFile(SelfPath(), dir + "/bench_transaction") &&
            CopyFile(CORVANE_BENCH_LIBRARY, dir + "/libCorvaneApply.so") &&
            CopyFile(CORVANE_BENCH_CARD_LIBRARY, dir + "/libICCInter01046.so");
  return ok ? dir : std::string();
}

std::vector<std::string> StationArgs(const std::string& dir, const StationCase& c, int n) {
  const std::string net = "127.0." + std::to_string(100 + n) + ".";
  return {dir + "/bench_transaction", "--station", dir, c.kind, std::to_string(c.trade_no),
          std::to_string(c.log_bytes), std::to_string(c.reply_bytes), std::to_string(c.rounds),
          std::to_string(c.replaces), net + "1", net + "2", CORVANE_BENCH_SIMULATOR, c.label,
          c.worker_row ? "1" : "0"};
}

// Runs one case in a workstation of its own; its output lines.
std::vector<std::string> RunCase(const std::string& root, const StationCase& c, int n,
                                 const std::vector<std::string>& prefix = {}) {
  std::string dir = MakeStation(root);
  if (dir.empty()) return {"ERROR|cannot prepare a workstation under " + root};
  std::vector<std::string> argv = prefix;
  for (std::string& a : argv)
    if (a == "@TRACE") a = dir + "/trace.txt";
  for (const std::string& a : StationArgs(dir, c, n)) argv.push_back(a);
  int pid = Spawn(argv, dir + "/out.txt");
  int status = pid > 0 ? WaitExit(pid) : -1;
  std::vector<std::string> lines = ReadLines(dir + "/out.txt");
  if (!prefix.empty()) lines.push_back("TRACE|" + dir + "/trace.txt");
  if (status != 0) lines.push_back("ERROR|case " + c.label + " ended with status " + std::to_string(status));
  Report(lines, c);
  RemoveTree(dir);
  return lines;
}

int ParentMain(bool quick, int pairs, const std::string& only) {
  Roots roots = MakeRoots();
  if (roots.disk.empty() || roots.tmpfs.empty()) {
    std::fprintf(stderr, "bench_transaction: cannot make temporary directories\n");
    return 2;
  }
  int failures = RunAllCases(quick, pairs, only, roots.disk, roots.tmpfs, roots.mounted, RunCase);
  DropRoots(roots);
  return failures == 0 ? 0 : 1;
}

int StationMain(int argc, char** argv) {
  if (argc < 14) return 2;
  StationCase c;
  c.dir = argv[2];
  c.kind = argv[3];
  c.trade_no = std::atoi(argv[4]);
  c.log_bytes = std::atol(argv[5]);
  c.reply_bytes = std::atol(argv[6]);
  c.rounds = std::atoi(argv[7]);
  c.replaces = std::atoi(argv[8]);
  c.sim_address = argv[9];
  c.relay_address = argv[10];
  c.simulator = argv[11];
  c.label = argv[12];
  c.worker_row = std::strcmp(argv[13], "1") == 0;
  if (c.kind == "ini") return RunIniCase(c.dir, c.rounds);
  return RunStation(c);
}

}  // namespace
}  // namespace corvane::bench

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--station") == 0)
    return corvane::bench::StationMain(argc, argv);
  bool quick = false;
  int pairs = 0;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) quick = true;
    if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) only = argv[++i];
    if (std::strcmp(argv[i], "--pairs") == 0 && i + 1 < argc) pairs = std::atoi(argv[++i]);
  }
  return corvane::bench::ParentMain(quick, pairs, only);
}
