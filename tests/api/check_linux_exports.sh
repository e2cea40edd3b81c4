#!/bin/sh
# The shared library exports exactly the four functions.
set -eu
lib="$1"
found=$(nm -D --defined-only "$lib" | awk '{print $3}' | sort | tr '\n' ' ')
expected="f_SetUserTradeCfg f_UserCorvaneApply f_UserCorvaneClose f_UserCorvaneInit "
if [ "$found" != "$expected" ]; then
  echo "exported: $found"
  echo "expected: $expected"
  exit 1
fi
echo "exports: $found"
