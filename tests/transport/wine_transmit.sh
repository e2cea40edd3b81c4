#!/usr/bin/env bash
# A Windows client (frontend-call.exe under wine64) opens a socket connection
# to the Linux simulator and invokes "Transmit".
set -euo pipefail
sim=$1 client=$2 wine_run=$3
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
printf 'server = FrontServer\nreply 201 = 0~成功~%s\n' "wine" > "$work/scenario.txt"
"$sim" --listen 127.0.0.21 --port 211 --scenario "$work/scenario.txt" --exit-after 240 > "$work/sim.log" 2>&1 &
pid=$!
for _ in $(seq 50); do grep -q listening "$work/sim.log" && break; sleep 0.1; done
packet=$(printf '201%014d%06d%15s~abcd' 12345 4 10.0.0.1)
out=$("$wine_run" "$client" --raw 127.0.0.21 FrontServer 201 "$packet" 10.0.0.1 | tr -d '\r' | iconv -f GBK -t UTF-8)
cat "$work/sim.log"
echo "client: $out"
[ "$out" = "0~成功~wine" ]
grep -q 'Transmit no=201 header\[no=201 serial=00000000012345' "$work/sim.log"
