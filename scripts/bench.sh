#!/usr/bin/env bash
# The benchmark: builds Release and prints one table of the library's
# transactions beside their floors (see the README's performance section).
#
#   scripts/bench.sh           # the full run (a few minutes)
#   scripts/bench.sh --quick   # a few rounds of each case: checks that it works
#
# Needs root (port 211, a tmpfs mount) and strace.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root/build}/bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_transaction >/dev/null
"$build/bench/transaction/bench_transaction" "$@"
