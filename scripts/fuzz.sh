#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time: the
# transport for CORVANE_FUZZ_SECONDS (default 60), the field routines, comma
# text, ini text and reply checks for CORVANE_FUZZ_SECONDS_EACH (default 35)
# each.  Fails on any crash, broken invariant, leak, sanitizer report,
# time-out or oversized allocation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root/build}/fuzz
seconds=${CORVANE_FUZZ_SECONDS:-60}
each=${CORVANE_FUZZ_SECONDS_EACH:-35}
targets="transport_fuzz fields_fuzz comma_text_fuzz ini_text_fuzz reply_fuzz"
cmake -S "$root" -B "$build" -DCORVANE_FUZZ_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target $targets
rm -rf "$build/artifacts"
mkdir -p "$build/artifacts"
status=0
for target in $targets; do
  # The seed corpus stays untouched: each run works on a copy.
  run="$build/corpus-$target"
  rm -rf "$run"
  mkdir -p "$run"
  if [ "$target" = transport_fuzz ]; then
    cp "$root/fuzz/corpus/"* "$run/"
    time_limit=$seconds
    max_len=""
  else
    cp "$root/fuzz/seeds/${target%_fuzz}/"* "$run/"
    time_limit=$each
    max_len="-max_len=4096"
  fi
  log="$build/$target.log"
  if "$build/fuzz/$target" "$run" -max_total_time="$time_limit" -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=256 $max_len -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" 2>"$log"; then
    echo "fuzz: $target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs in ${time_limit}s, no failure"
  else
    tail -n 60 "$log"
    echo "fuzz: $target failed, see $log and $build/artifacts" >&2
    status=1
  fi
done
exit $status
