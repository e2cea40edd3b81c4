// The benchmark's cases and its one table.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "station.h"

namespace corvane::bench {

// Runs one case in a fresh workstation under root (n numbers its loopback
// addresses); prefix, when given, runs it under a tracer.
using CaseRunner = std::function<std::vector<std::string>(
    const std::string& root, const StationCase& c, int n, const std::vector<std::string>& prefix)>;

// Runs every case whose name contains only and prints the table; the
// number of cases that failed.  pairs > 0 replaces the number of pairs of
// a case (a quarter of it for the 10 MB cases).
int RunAllCases(bool quick, int pairs, const std::string& only, const std::string& disk,
                const std::string& tmpfs, bool mounted, const CaseRunner& run);

std::vector<std::string> ReadLines(const std::string& path);
// Progress on stderr, and a system-call trace turned into a COUNT line.
void Report(std::vector<std::string>& lines, const StationCase& c);

}  // namespace corvane::bench
