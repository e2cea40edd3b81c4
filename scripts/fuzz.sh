#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for CORVANE_FUZZ_SECONDS
# (default 25) from its committed seeds:
#   transport_fuzz   block reading, value decoding, the answering interpreter
#   fields_fuzz      field routines and the "$$" frame
#   comma_text_fuzz  comma text and the transaction parameter line
#   ini_text_fuzz    the ini text codec
#   reply_fuzz       reply checks: field removal, download names, log lines
# Fails on any crash, broken property, leak, sanitizer report, time-out or
# oversized allocation; the input that failed is kept under
# build/fuzz/artifacts.
#
#   scripts/fuzz.sh [TARGET...]      (default: all five)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root/build}/fuzz
seconds=${CORVANE_FUZZ_SECONDS:-25}
targets=${*:-transport_fuzz fields_fuzz comma_text_fuzz ini_text_fuzz reply_fuzz}
cmake -S "$root" -B "$build" -DCORVANE_FUZZ_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target $targets
rm -rf "$build/artifacts"
mkdir -p "$build/artifacts"
status=0
for target in $targets; do
  # The committed seeds stay untouched: each run works on a copy.
  run="$build/corpus-$target"
  rm -rf "$run"
  mkdir -p "$run"
  if [ "$target" = transport_fuzz ]; then
    cp "$root/fuzz/corpus/"* "$run/"
    max_len=""
  else
    cp "$root/fuzz/seeds/${target%_fuzz}/"* "$run/"
    max_len="-max_len=4096"
  fi
  log="$build/$target.log"
  if "$build/fuzz/$target" "$run" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=256 $max_len -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" 2>"$log"; then
    runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
    echo "fuzz: $target: $runs runs in ${seconds}s, no failure"
  else
    tail -n 60 "$log"
    echo "fuzz: $target failed, see $log and $build/artifacts" >&2
    status=1
  fi
done
exit $status
