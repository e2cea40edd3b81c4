#!/usr/bin/env bash
# A Windows client (frontend-call.exe of the build CORVANE_WINDOWS_BUILD,
# under the Wine runner CORVANE_WINE) opens a socket connection to the Linux
# simulator and invokes "Transmit".
set -euo pipefail
sim=$1
client=$CORVANE_WINDOWS_BUILD/tools/frontend-sim/frontend-call.exe
wine_run=$CORVANE_WINE
# 127.0.0.21, or .149 in the win32 run, which may go on at the same time.
address=127.0.0.21
[ "${CORVANE_WINDOWS_TARGET:-}" = win32 ] && address=127.0.0.149
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
printf 'server = FrontServer\nreply 201 = 0~成功~%s\n' "wine" > "$work/scenario.txt"
"$sim" --listen $address --port 211 --scenario "$work/scenario.txt" --exit-after 240 > "$work/sim.log" 2>&1 &
pid=$!
for _ in $(seq 50); do grep -q listening "$work/sim.log" && break; sleep 0.1; done
packet=$(printf '201%014d%06d%15s~abcd' 12345 4 10.0.0.1)
out=$("$wine_run" "$client" --raw $address FrontServer 201 "$packet" 10.0.0.1 | tr -d '\r' | iconv -f GBK -t UTF-8)
cat "$work/sim.log"
echo "client: $out"
[ "$out" = "0~成功~wine" ]
grep -q 'Transmit no=201 header\[no=201 serial=00000000012345' "$work/sim.log"
