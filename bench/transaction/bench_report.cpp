#include "bench_report.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "bench_os.h"

namespace corvane::bench {
namespace {

struct Row {
  std::string label, fs, target;
  std::vector<std::string> fields;  // library, floor, median, p99, pairs
};

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream s(line);
  std::string part;
  while (std::getline(s, part, '|')) out.push_back(part);
  return out;
}

bool Has(const std::string& line, const char* what) { return line.find(what) != std::string::npos; }

// Opens, whole-file reads, flushes and renames between the two markers.
std::string CountTrace(const std::string& path, int rounds) {
  long opens = 0, reads = 0, flushes = 0, renames = 0;
  bool on = false;
  for (const std::string& line : ReadLines(path)) {
    if (Has(line, ".mark-begin")) on = true;
    if (Has(line, ".mark-end")) on = false;
    if (!on || Has(line, "resumed>") || Has(line, ".mark-")) continue;
    if (Has(line, "openat(") || Has(line, " open(")) {
      ++opens;
      if (Has(line, "O_RDONLY") && !Has(line, "O_DIRECTORY")) ++reads;
    }
    if (Has(line, "fsync(") || Has(line, "fdatasync(")) ++flushes;
    if (Has(line, "rename")) ++renames;
  }
  char buf[128];
  double n = rounds > 0 ? rounds : 1;
  std::snprintf(buf, sizeof buf, "COUNT|%.1f|%.1f|%.1f|%.1f", opens / n, reads / n, flushes / n,
                renames / n);
  return buf;
}

std::string Find(const std::vector<std::string>& lines, const char* tag) {
  for (const std::string& l : lines)
    if (l.rfind(tag, 0) == 0) return l;
  return std::string();
}

StationCase Case(const char* kind, int trade, const char* label, int rounds) {
  StationCase c;
  c.kind = kind;
  c.trade_no = trade;
  c.label = label;
  c.rounds = rounds;
  return c;
}

}  // namespace

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

void Report(std::vector<std::string>& lines, const StationCase& c) {
  std::string trace = Find(lines, "TRACE|");
  if (!trace.empty()) lines.push_back(CountTrace(trace.substr(6), c.rounds));
  for (const std::string& l : lines)
    if (l.rfind("ERROR|", 0) == 0) std::fprintf(stderr, "  %s: %s\n", c.label.c_str(), l.c_str() + 6);
  std::fprintf(stderr, "  done: %s (%s)\n", c.label.c_str(), c.kind.c_str());
}

namespace {

struct Table {
  std::vector<std::string> rows;
  std::vector<std::string> machine;  // "| what | us |"
  int failures = 0;
};

void AddRows(Table* t, const std::vector<std::string>& lines, const std::string& case_target) {
  bool any = false;
  for (const std::string& l : lines) {
    std::vector<std::string> f = Split(l);
    if (f[0] == "ERROR") ++t->failures;
    if (f[0] == "MACHINE" && f.size() >= 3) t->machine.push_back("| " + f[1] + " | " + f[2] + " |");
    if (f[0] != "ROW" || f.size() < 8) continue;
    any = true;
    std::string target = f.size() > 8 ? f[8] : case_target;
    if (target == "-") target.clear();
    double median = std::atof(f[5].c_str());
    double limit = std::atof(target.c_str());
    std::string verdict = target.empty() ? "" : median <= limit ? "met" : "NOT MET";
    char buf[256];
    std::snprintf(buf, sizeof buf, "| %-34s | %-5s | %9s | %9s | %6s | %6s | %5s | %-6s | %-7s |",
                  f[1].c_str(), f[2].c_str(), f[3].c_str(), f[4].c_str(), f[5].c_str(),
                  f[6].c_str(), f[7].c_str(), target.empty() ? "-" : ("<= " + target).c_str(),
                  verdict.c_str());
    t->rows.push_back(buf);
  }
  if (!any) ++t->failures;
}

// Durable replaces per transaction (renames), from the trace's COUNT line.
int Replaces(const std::string& count) {
  std::vector<std::string> f = Split(count);
  return f.size() >= 5 ? static_cast<int>(std::lround(std::atof(f[4].c_str()))) : -1;
}

void PrintTable(const Table& t) {
  std::printf("| %-34s | %-5s | %9s | %9s | %6s | %6s | %5s | %-6s | %-7s |\n", "case", "fs",
              "library", "floor", "ratio", "p99", "pairs", "target", "verdict");
  std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), "-------",
              "----------:", "----------:", "-------:", "-------:", "------:", "--------",
              "---------");
  for (const std::string& r : t.rows) std::printf("%s\n", r.c_str());
  std::printf("\nlibrary and floor: medians in microseconds; ratio: median of the per-pair "
              "ratios library/floor; p99: their 99th percentile.\n");
  if (t.machine.empty()) return;
  std::printf("\n| this machine, for a thread per connection | median us |\n|---|--:|\n");
  for (const std::string& m : t.machine) std::printf("%s\n", m.c_str());
}

}  // namespace

int RunAllCases(bool quick, int pairs_asked, const std::string& only, const std::string& disk,
                const std::string& tmpfs, bool mounted, const CaseRunner& run) {
  const int pairs = pairs_asked > 0 ? pairs_asked : quick ? 3 : 41;
  const int big = pairs_asked > 0 ? (pairs_asked + 3) / 4 : quick ? 2 : 11;
  const std::vector<std::string> trace = {"/usr/bin/strace", "-f", "-qq", "-o", "@TRACE", "-e",
      "trace=open,openat,fsync,fdatasync,rename,renameat,renameat2"};
  Table t;
  int n = 0;
  std::vector<std::string> counts;
  int replaces[2] = {0, 0};
  const int trades[2] = {202, 31};
  for (int k = 0; k < 2; ++k) {
    StationCase c = Case("count", trades[k], trades[k] == 202 ? "202" : "31 (card)", quick ? 3 : 20);
    std::string count = Find(run(tmpfs, c, n++, trace), "COUNT|");
    if (count.empty()) ++t.failures;
    replaces[k] = Replaces(count);
    std::vector<std::string> f = Split(count);
    std::string line = "| " + c.label;
    for (size_t i = 1; i < f.size(); ++i) line += " | " + f[i];
    counts.push_back(line + " |");
  }
  auto wanted = [&](const std::string& label) { return label.find(only) != std::string::npos; };
  auto row = [&](const std::string& root, StationCase c, const char* target) {
    if (!wanted(c.label)) return;
    if (c.kind == "txn" || c.kind == "soak") c.replaces = replaces[c.trade_no == 202 ? 0 : 1];
    AddRows(&t, run(root, c, n++, {}), target);
  };
  row(tmpfs, Case("remote", 202, "remote call / network floor", pairs), "1.3");
  for (int trade : {202, 31}) {
    StationCase c = Case("txn", trade, trade == 202 ? "transaction 202" : "transaction 31 (card)", pairs);
    c.worker_row = true;
    row(tmpfs, c, "1.3");
    row(disk, c, "1.2");
  }
  const long sizes[3] = {1L << 10, 1L << 20, 10L << 20};
  const char* names[3] = {"1 KB", "1 MB", "10 MB"};
  for (int i = 0; i < 3; ++i) {
    StationCase c = Case("txn", 202, "", i == 2 ? big : pairs);
    c.label = std::string("202, TradeLog.ini ") + names[i];
    c.log_bytes = sizes[i];
    row(tmpfs, c, i == 2 ? "1.5" : "");
  }
  for (int i = 0; i < 3; ++i) {
    StationCase c = Case("txn", 202, "", i == 2 ? big : pairs);
    c.label = std::string("202, reply ") + names[i];
    c.reply_bytes = sizes[i];
    row(tmpfs, c, i == 2 ? "1.5" : "");
  }
  if (wanted("ini")) AddRows(&t, run(disk, Case("ini", 0, "ini", pairs), n++, {}), "");
  std::vector<std::string> use;
  if (wanted("soak")) use = run(tmpfs, Case("soak", 202, "soak", quick ? 200 : 10000), n++, {});

  std::printf("\ntmpfs: %s; disk: %s (%s)\n\n", mounted ? "mounted for the run" : "/dev/shm",
              disk.c_str(), FileSystemOf(disk).c_str());
  PrintTable(t);
  std::printf("\n| per transaction (strace) | opens | whole-file reads | flushes | renames |\n"
              "|---|--:|--:|--:|--:|\n");
  for (const std::string& c : counts) std::printf("%s\n", c.c_str());
  std::printf("\n| host after N transactions (202, tmpfs) | RSS KB | threads | descriptors |\n"
              "|---|--:|--:|--:|\n");
  for (const std::string& l : use) {
    std::vector<std::string> f = Split(l);
    if (f[0] == "USE" && f.size() >= 5)
      std::printf("| %s | %s | %s | %s |\n", f[1].c_str(), f[2].c_str(), f[3].c_str(), f[4].c_str());
  }
  return t.failures;
}

}  // namespace corvane::bench
