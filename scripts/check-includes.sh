#!/usr/bin/env bash
# Fails when a file under src/ includes a part above its own:
#   api -> trade -> link, card, ui -> config -> common -> platform
#   link -> transport -> platform
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The order is kept once, in cmake/CorvaneTarget.cmake (CORVANE_BELOW_<part>:
# the part itself, then the parts it may include), which the build enforces.
declare -A allowed=()
while read -r part below; do
  allowed[$part]=$below
done < <(sed -nE 's/^set\(CORVANE_BELOW_([a-z]+) ([a-z ]+)\)$/\1 \2/p' "$root/cmake/CorvaneTarget.cmake")
[ "${#allowed[@]}" -gt 0 ] || { echo "no part order found in cmake/CorvaneTarget.cmake"; exit 1; }
status=0
while IFS= read -r line; do
  file=${line%%:*}
  part=${file#src/}; part=${part%%/*}
  target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${line#*:}")
  [ -n "${allowed[$part]+x}" ] || { echo "$file: part $part has no place in the order"; status=1; continue; }
  [ -n "${allowed[$target]+x}" ] || continue  # a folder of its own part, not another part
  if [[ " ${allowed[$part]} " != *" $target "* ]]; then
    echo "$file includes $target, above $part: ${line#*:}"
    status=1
  fi
done < <(cd "$root" && grep -rnH -E '^\s*#\s*include\s+"[^/"]+/' src | sed -E 's/^([^:]+):[0-9]+:/\1:/')
exit $status
