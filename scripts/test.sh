#!/usr/bin/env bash
# The one command that installs, builds and runs every test: Linux, the
# static checks of the 32-bit DLL, the Windows tests under wine64 and the
# fuzzer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root/build}
export CORVANE_BUILD_ROOT="$build"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
# A Wine prefix of our own, prepared once before tests run in parallel.
export CORVANE_WINEPREFIX="${CORVANE_WINEPREFIX:-$build/wineprefix}"
LC_ALL=zh_CN.GBK WINEPREFIX="$CORVANE_WINEPREFIX" WINEDEBUG=-all wineboot -i >/dev/null 2>&1 || true
status=0
# Code shape: no include runs upward, no function over 60 lines.
"$root/scripts/check-includes.sh" || status=1
python3 "$root/scripts/check-function-length.py" || status=1
ctest --test-dir "$build/linux" -j"$(nproc)" --output-on-failure || status=1
ctest --test-dir "$build/win64" -j"$(nproc)" --output-on-failure || status=1
# The benchmark once in its quick mode: it must run, its figures are not judged.
"$build/linux/bench/transaction/bench_transaction" --quick >/dev/null || status=1
if [ -x "$root/scripts/fuzz.sh" ]; then
  "$root/scripts/fuzz.sh" || status=1
fi
exit $status
