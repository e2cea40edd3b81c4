#!/bin/sh
# Runs a 32-bit Windows program with the private 32-bit Wine runtime
# (scripts/wine32-runtime.sh: Debian's wine32 under qemu-i386) and code
# page 936 (GBK).  The host's 64-bit wineserver serves the 32-bit clients;
# the prefix is a 32-bit one of its own.
root_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root_dir/build}
runtime=${CORVANE_WINE32_RUNTIME:-$build/wine32-runtime}
if [ ! -f "$runtime/ready" ]; then
  echo "wine32-run: no 32-bit Wine runtime in $runtime: run scripts/wine32-runtime.sh" >&2
  exit 127
fi
export LC_ALL=zh_CN.GBK
export WINEARCH=win32
export WINEPREFIX="${CORVANE_WINE32_PREFIX:-$build/wine32prefix}"
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec "$runtime/root/usr/lib/wine/wine" "$@"
