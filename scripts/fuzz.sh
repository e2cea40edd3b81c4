#!/usr/bin/env bash
# Builds the transport fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for about a minute.  Fails on any
# crash, leak, sanitizer report, time-out or oversized allocation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root/build}/fuzz
seconds=${CORVANE_FUZZ_SECONDS:-60}
cmake -S "$root" -B "$build" -DCORVANE_FUZZ_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target transport_fuzz
# The seed corpus stays untouched: the run works on a copy.
run="$build/corpus-run"
rm -rf "$run" "$build/artifacts"
mkdir -p "$run" "$build/artifacts"
cp "$root/fuzz/corpus/"* "$run/"
"$build/fuzz/transport_fuzz" "$run" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$build/artifacts/" 2>"$build/fuzz.log" || {
  tail -n 60 "$build/fuzz.log"
  echo "fuzz: failure, see $build/fuzz.log and $build/artifacts" >&2
  exit 1
}
tail -n 12 "$build/fuzz.log"
