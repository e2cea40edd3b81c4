#!/usr/bin/env bash
# The demo: one whole session of a hospital workstation against the
# simulators, through the real library and a real host program.
#
#   session start (business initialisation, transaction 21)
#   transaction 31: reads the patient's IC card, locks it, settles, unlocks
#   transaction 201: the front end names a file that is fetched by FTP
#   session close
#
# Needs root for the front end's port 211 and FTP's port 21 (on loopback).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${CORVANE_BUILD_ROOT:-$root/build}/demo
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF \
  -DCORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target corvane-host CorvaneApply iccsim frontend-sim >/dev/null

work=$(mktemp -d /tmp/corvane-demo-XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

# The workstation: host program, library and card reader library together.
cp "$build/tools/corvane-host/corvane-host" "$build/src/api/libCorvaneApply.so" \
   "$build/tools/iccsim/libICCInter01046.so" "$work/"
printf '[SYSTEM]\r\nLocalIP=10.1.2.3\r\nNativeAddress=127.0.0.200\r\nNativeServer=CorvaneFront.Trade\r\nAREAID=0101\r\n' \
  > "$work/TradeCfg.ini"
printf '[Card]\r\nDataFile=iccard.dat\r\nJournal=iccsim.log\r\n' > "$work/iccsim.ini"
# A card of 400 characters; characters 181 to 194 are the lock field.
card=$(printf 'P%0179d' 0 | tr 0 X)
card="${card}00000000000000$(printf '%0206d' 0 | tr 0 Y)"
printf '%s' "$card" > "$work/iccard.dat"

# The front end on 127.0.0.200:211 and an FTP server on 127.0.0.201:21.
"$build/tools/frontend-sim/frontend-sim" --listen 127.0.0.200 --port 211 \
  --scenario "$root/scripts/demo/scenario.txt" > "$work/frontend-sim.log" 2>&1 &
pids+=($!)
mkdir -p "$work/ftp/outbox"
printf '86900001,阿莫西林胶囊,0.25g*24,12.50\r\n86900002,葡萄糖注射液,5%%*250ml,3.20\r\n' \
  | iconv -f UTF-8 -t GBK > "$work/ftp/outbox/druglist.txt"
/usr/bin/python3 -m pyftpdlib -i 127.0.0.201 -p 21 -u demo -P demo -w -d "$work/ftp" \
  > "$work/ftp.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  if grep -q listening "$work/frontend-sim.log" && (exec 3<>/dev/tcp/127.0.0.201/21) 2>/dev/null; then
    break
  fi
  sleep 0.1
done

printf 'init\napply\t31\t20261207000123\t$$1~%s~0~住院号A1001~张三~内科$$\t操作员01\napply\t201\t0\t$$药品$$\nclose\n' \
  "$card" | iconv -f UTF-8 -t GBK > "$work/session.txt"

show() { iconv -f GBK -t UTF-8 -c; }
echo "== Workstation directory (left for inspection): $work"
echo "== Host calls (status, reply):"
(cd "$work" && ./corvane-host --script session.txt) | show | sed 's/^/   /' || true
echo
echo "== Front end saw:"
sed 's/^/   /' "$work/frontend-sim.log" | cut -c1-220
echo
echo "== Card reader calls (iccsim.log):"
cut -f1,2,5 "$work/iccsim.log" | sed 's/^/   /' | cut -c1-160
echo
echo "== Downloaded into down/:"
ls -l "$work/down" | sed 's/^/   /'
show < "$work/down/druglist.txt" | sed 's/^/   /'
echo
echo "== Journal TradeLog.ini:"
show < "$work/TradeLog.ini" | tr -d '\r' | cut -c1-160 | sed 's/^/   /'
echo
echo "== Daily exchange log:"
show < "$work"/log1/*.log | tr -d '\r' | cut -c1-160 | sed 's/^/   /'
