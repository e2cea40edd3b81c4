#!/usr/bin/env bash
# Builds the three targets: Linux x86_64 (library, tools, tests), Windows
# i686 (the product DLL, tools, tests run under 32-bit Wine) and Windows
# x86_64 (DLL, tools, tests run under wine64).  Build trees go to $CORVANE_BUILD_ROOT (default ./build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_ROOT:-$root/build}
jobs=$(nproc)
cmake -S "$root" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win32" -j"$jobs"
cmake -S "$root" -B "$build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win64" -j"$jobs"
cmake -S "$root" -B "$build/linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVANE_WIN32_BUILD="$build/win32" -DCORVANE_WIN64_BUILD="$build/win64" >/dev/null
cmake --build "$build/linux" -j"$jobs"
