#!/usr/bin/env bash
# The demo: one whole session of a hospital workstation against the
# simulators, through the real library and the real host program, each step
# explained in a line, ending with a verdict.
#
#   scripts/demo.sh [--front ADDRESS] [--ftp ADDRESS] [--keep]
#
#   --front, --ftp  loopback addresses for the front end (port 211) and the
#                   FTP server (port 21); by default the first free ones from
#                   127.0.0.200 up
#   --keep          keep the workstation folder (removed by default)
#
# Installs only what it needs (a compiler, CMake, libcurl, pyftpdlib) and
# builds into build/demo.  Needs root for ports 211 and 21 (on loopback).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
front="" ftp="" keep=0
while [ $# -gt 0 ]; do
  case $1 in
    --front) front=$2; shift 2 ;;
    --ftp) ftp=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "demo.sh: unknown option $1 (--help)" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh" --demo
build=${CORVANE_BUILD_ROOT:-$root/build}/demo
# No tests, benchmarks or settings dialog: no GoogleTest or GTK needed.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF \
  -DCORVANE_BENCH=OFF -DCORVANE_DIALOG=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target corvane-host CorvaneApply iccsim frontend-sim \
  frontend-call >/dev/null
started=$(date +%s)

# A loopback address whose port is free, from 127.0.0.$2 up (not $3).
free_address() {
  local port=$1 n=$2 skip=${3:-}
  for ((; n < 255; n++)); do
    [ "127.0.0.$n" = "$skip" ] && continue
    if python3 -c "import socket,sys; s=socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1); s.bind((sys.argv[1], $port))" \
        "127.0.0.$n" 2>/dev/null; then
      echo "127.0.0.$n"; return 0
    fi
  done
  echo "demo.sh: no free loopback address for port $port" >&2; return 1
}
[ -n "$front" ] || front=$(free_address 211 200)
[ -n "$ftp" ] || ftp=$(free_address 21 201 "$front")

work=$(mktemp -d /tmp/corvane-demo-XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ "$keep" = 1 ]; then echo "== Workstation folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
step() { printf '\n[%s] %s\n' "$1" "$2"; }
indent() { sed 's/^/    /' | cut -c1-200; }
show() { iconv -f GBK -t UTF-8 -c; }

step 1 "Workstation folder $work: the host program, the library and the card reader simulator side by side; TradeCfg.ini names the front end $front and the server object CorvaneFront.Trade."
cp "$build/tools/corvane-host/corvane-host" "$build/src/api/libCorvaneApply.so" \
   "$build/tools/iccsim/libICCInter01046.so" "$work/"
printf '[SYSTEM]\r\nLocalIP=10.1.2.3\r\nNativeAddress=%s\r\nNativeServer=CorvaneFront.Trade\r\nAREAID=0101\r\n[HardWare]\r\nCom=1\r\nReadType=501\r\nCardType=501\r\nbaud=9600\r\nOpType=1\r\n' \
  "$front" > "$work/TradeCfg.ini"
printf '[Card]\r\nDataFile=iccard.dat\r\nJournal=iccsim.log\r\n' > "$work/iccsim.ini"
# A card of 400 characters; characters 181 to 194 are the lock field.
card=$(printf 'P%0179d' 0 | tr 0 X)
card="${card}00000000000000$(printf '%0206d' 0 | tr 0 Y)"
printf '%s' "$card" > "$work/iccard.dat"

step 2 "Front-end simulator on $front:211 (scripts/demo/scenario.txt) and an FTP server on $ftp:21 offering outbox/druglist.txt."
sed "s/127\.0\.0\.201/$ftp/" "$root/scripts/demo/scenario.txt" > "$work/scenario.txt"
"$build/tools/frontend-sim/frontend-sim" --listen "$front" --port 211 \
  --scenario "$work/scenario.txt" > "$work/frontend-sim.log" 2>&1 &
pids+=($!)
mkdir -p "$work/ftp/outbox"
printf '86900001,阿莫西林胶囊,0.25g*24,12.50\r\n86900002,葡萄糖注射液,5%%*250ml,3.20\r\n' \
  | iconv -f UTF-8 -t GBK > "$work/druglist.offered"
cp "$work/druglist.offered" "$work/ftp/outbox/druglist.txt"
/usr/bin/python3 -m pyftpdlib -i "$ftp" -p 21 -u demo -P demo -w -d "$work/ftp" \
  > "$work/ftp.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  if grep -q listening "$work/frontend-sim.log" && (exec 3<>"/dev/tcp/$ftp/21") 2>/dev/null; then
    break
  fi
  sleep 0.1
done

step 3 "frontend-call: one direct call of the front end from the workstation, without the library (transaction 21, as a session start sends it):"
packet=$(printf '021%014d%06d%15s~0101' 0 4 10.1.2.3)
LC_ALL=C.UTF-8 "$build/tools/frontend-sim/frontend-call" "$front" CorvaneFront.Trade 21 "$packet" 10.1.2.3 | indent

step 4 "corvane-host doctor: checks the settings, the folder, the code page, the front end and the card library without running a transaction:"
(cd "$work" && LC_ALL=C.UTF-8 ./corvane-host doctor) | indent || true

printf 'init\napply\t31\t20261207000123\t$$1~%s~0~住院号A1001~张三~内科$$\t操作员01\napply\t201\t0\t$$药品$$\nclose\n' \
  "$card" > "$work/session.txt"
(cd "$work" && LC_ALL=C.UTF-8 ./corvane-host --script session.txt > session.out 2>&1) || true
# One block of the host program's output per call, from its title line on.
call_output() { awk -v t="$1" '/^[a-z]/ { on = index($0, t ": status") == 1 } on' "$work/session.out" | indent; }

step 5 "Session start (init): the library sends transaction 21, the business initialisation; the front end answers with the transaction definitions, which go to [USERTRADE] of TradeCfg.ini."
call_output init
step 6 "Transaction 31, inpatient settlement: the library reads the patient's IC card, locks it, sends the request with the card data, then unlocks the card; each stage is journalled in section 000 of TradeLog.ini."
call_output "apply 31"
step 7 "Transaction 201, drug list: first the library reports the journalled outcome of transaction 31 to the front end as transaction 49 (the front end confirms and section 000 is emptied); then 201's reply names a file on the FTP server, fetched into down/."
call_output "apply 201"
step 8 "Session close."
call_output close

step 9 "What the front end received, in order:"
sed -n 's/.* Transmit no=\([0-9]*\) .*request="\([^"]\{0,50\}\)[^"]*".* reply="\([^"]\{0,50\}\).*/transaction \1: request "\2", reply "\3"/p' \
  "$work/frontend-sim.log" | indent
echo "    card reader calls: $(cut -f1 "$work/iccsim.log" 2>/dev/null | tr '\n' ' ')"
echo "    down/: $(ls "$work/down" 2>/dev/null | tr '\n' ' ')"
show < "$work/down/druglist.txt" 2>/dev/null | indent || true

# The verdict.
problems=()
for t in init "apply 31" "apply 201" close; do
  grep -q "^$t: status 0 " "$work/session.out" || problems+=("$t did not succeed")
done
seen=$(sed -n 's/.* Transmit no=\([0-9]*\) .*/\1/p' "$work/frontend-sim.log" | tr '\n' ' ')
# frontend-call's 21, the session's 21, 31, the report 49 and 201.
[ "$seen" = "21 21 31 49 201 " ] || problems+=("the front end saw transactions $seen")
# (An ASCII-mode transfer may change the line ends.)
[ "$(tr -d '\r' < "$work/druglist.offered")" = "$(tr -d '\r' < "$work/down/druglist.txt" 2>/dev/null)" ] ||
  problems+=("down/druglist.txt is not the file offered")
grep -q IC_GetData "$work/iccsim.log" || problems+=("the card was not read")
elapsed=$(( $(date +%s) - started ))
echo
if [ ${#problems[@]} -eq 0 ]; then
  echo "VERDICT: the session worked: 4 calls succeeded, the front end saw 21, 31, 49 and 201, the file arrived (${elapsed} s after the build)."
else
  echo "VERDICT: FAILED: $(IFS=';'; echo "${problems[*]}") (${elapsed} s after the build)."
  echo "    host program output:"; indent < "$work/session.out"
  exit 1
fi
