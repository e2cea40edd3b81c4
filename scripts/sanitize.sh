#!/usr/bin/env bash
# Builds the Linux library, tools and tests with AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer (CORVANE_SANITIZE, -O1) into
# build/asan and runs the Linux suite there, without the virtual-screen
# dialog tests (label gui).  The sanitizer settings of every test are in
# tests/sanitizer/environment.cmake.in, the leaks kept on purpose in
# tests/sanitizer/lsan.supp.  Extra arguments go to ctest (-R name, ...).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root/build}/asan
start=$(date +%s)
cmake -S "$root" -B "$build" -DCORVANE_SANITIZE=ON -DCORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_C_FLAGS_DEBUG="-O1 -g" >/dev/null
cmake --build "$build" -j"$(nproc)"
built=$(date +%s)
status=0
ctest --test-dir "$build" -j"$(nproc)" -LE gui --output-on-failure "$@" || status=1
echo "sanitize: build $((built - start)) s, tests $(($(date +%s) - built)) s"
exit $status
