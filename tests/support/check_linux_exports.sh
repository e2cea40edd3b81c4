#!/bin/sh
# A shared library exports exactly the given symbols.
# usage: check_linux_exports.sh LIBRARY NAME...
set -eu
lib="$1"; shift
found=$(nm -D --defined-only "$lib" | awk 'NF == 3 {print $3}' | sort | tr '\n' ' ')
expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
if [ "$found" != "$expected" ]; then
  echo "exported: $found"
  echo "expected: $expected"
  exit 1
fi
echo "exports: $found"
