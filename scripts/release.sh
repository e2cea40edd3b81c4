#!/usr/bin/env bash
# Makes the release archives with CPack, from build trees of their own
# (tests and benchmarks off):
#   CorvaneApply-<version>-windows-i686.zip    the product: CorvaneApply.dll (i686),
#                                               ICCInter01046.dll, corvane-host.exe,
#                                               corvane_apply.h, documents
#   CorvaneApply-<version>-windows-x86_64.zip  the same for x86_64
#   CorvaneApply-<version>-linux-x86_64.tar.gz libCorvaneApply.so, the card simulator,
#                                               corvane-host, frontend-sim, frontend-call,
#                                               the header, documents
# into $CORVANE_BUILD_ROOT/dist (default build/dist), and lists each one.
# Needs what scripts/install-deps.sh installs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root/build}
dist=$build/dist
jobs=$(nproc)
common=(-DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF)
mkdir -p "$dist"
package() {  # name, then cmake options
  local tree=$build/release-$1; shift
  cmake -S "$root" -B "$tree" "${common[@]}" "$@" >/dev/null
  cmake --build "$tree" -j"$jobs" >/dev/null
  (cd "$tree" && cpack -B "$dist" >/dev/null)
}
package win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
package win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
package linux
rm -rf "$dist/_CPack_Packages"
for f in "$dist"/*.zip "$dist"/*.tar.gz; do
  echo "$f"
  case $f in
    *.zip) python3 -c "import sys, zipfile; print('\n'.join('  ' + n for n in zipfile.ZipFile(sys.argv[1]).namelist()))" "$f" ;;
    *) tar -tzf "$f" | sed 's/^/  /' ;;
  esac
done
