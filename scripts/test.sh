#!/usr/bin/env bash
# The one command that installs, builds and runs every test: Linux, the
# static checks of the 32-bit DLL, the Windows tests under wine64 (x86_64
# build) and under 32-bit Wine (the i686 build, the product), the Linux
# suite under the sanitizers and the fuzzers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root/build}
export CORVANE_BUILD_ROOT="$build"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
# The 32-bit Windows runtime (Debian's wine32 under qemu-i386), private to
# the build tree.
export CORVANE_WINE32_RUNTIME="${CORVANE_WINE32_RUNTIME:-$build/wine32-runtime}"
"$root/scripts/wine32-runtime.sh" >/dev/null
# Wine prefixes of our own (x86_64 and i686), each prepared once, with a
# persistent wineserver whose services are started here: a service started
# by a test's program would hold that program's output open.
export CORVANE_WINEPREFIX="${CORVANE_WINEPREFIX:-$build/wineprefix}"
export CORVANE_WINE32_PREFIX="${CORVANE_WINE32_PREFIX:-$build/wine32prefix}"
start_wine() {  # PREFIX RUNNER
  "$2" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$1" /usr/lib/wine/wineserver64 -w
  WINEPREFIX="$1" /usr/lib/wine/wineserver64 -p
  "$2" wineboot >/dev/null 2>&1 || true
}
start_wine "$CORVANE_WINEPREFIX" "$root/scripts/wine-run.sh"
start_wine "$CORVANE_WINE32_PREFIX" "$root/scripts/wine32-run.sh"
status=0
# Code shape: no include runs upward, no function over 60 lines.
"$root/scripts/check-includes.sh" || status=1
python3 "$root/scripts/check-function-length.py" || status=1
ctest --test-dir "$build/linux" -j"$(nproc)" -LE gui --output-on-failure || status=1
# The dialogs on a virtual screen are driven by simulated keys and clicks,
# which a busy machine can lose: a failed run is tried again, up to three runs.
ctest --test-dir "$build/linux" -L gui --repeat until-pass:3 --output-on-failure || status=1
ctest --test-dir "$build/win64" -j"$(nproc)" --output-on-failure || status=1
ctest --test-dir "$build/win32" -j"$(nproc)" --output-on-failure || status=1
# The benchmark once in its quick mode: it must run, its figures are not judged.
"$build/linux/bench/transaction/bench_transaction" --quick >/dev/null || status=1
for prefix in "$CORVANE_WINEPREFIX" "$CORVANE_WINE32_PREFIX"; do
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
done
# The Linux suite once more with AddressSanitizer and UndefinedBehaviorSanitizer.
"$root/scripts/sanitize.sh" || status=1
if [ -x "$root/scripts/fuzz.sh" ]; then
  "$root/scripts/fuzz.sh" || status=1
fi
exit $status
