#!/usr/bin/env bash
# Fails when a file under src/ includes a part above its own:
#   api -> trade -> link, card, ui -> config -> common -> platform
#   link -> transport -> platform
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
declare -A allowed=(
  [platform]="platform"
  [common]="common platform"
  [config]="config common platform"
  [transport]="transport platform"
  [card]="card config common platform"
  [ui]="ui config common platform"
  [link]="link transport config common platform"
  [trade]="trade link card ui transport config common platform"
  [api]="api trade link card ui transport config common platform"
)
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
