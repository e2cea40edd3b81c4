#!/usr/bin/env bash
# Builds one example host of examples/ and runs it in a fresh directory
# against the front-end simulator on its own loopback address: session
# start, transaction 250, session close.  Exit 77 (skipped) when the
# language's toolchain is not installed.
#
#   run_example.sh LANGUAGE ADDRESS BUILD_DIR SOURCE_DIR
#
# The library keeps its files beside the program of the process.  For an
# interpreter (python3, mono, java) that is the interpreter's folder, so the
# interpreter runs from a copy in the fresh directory, as the host program
# of a workstation would.
set -euo pipefail
lang=$1 address=$2 build=$3 src=$4
examples=$src/examples
need() { for t in "$@"; do command -v "$t" >/dev/null || { echo "SKIP: $t not installed"; exit 77; }; done; }
case $lang in
  c) need cc ;;
  python) [ -x /usr/bin/python3 ] || { echo "SKIP: python3 not installed"; exit 77; } ;;
  java) need javac java; [ -f /usr/share/java/jna.jar ] || { echo "SKIP: libjna-java not installed"; exit 77; } ;;
  csharp) need mcs mono ;;
  pascal) need fpc ;;
esac

work=$(mktemp -d /tmp/corvane-example-XXXXXX)
sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"; }
[ -n "${KEEP_EXAMPLE:-}" ] || trap cleanup EXIT

"$build/tools/frontend-sim/frontend-sim" --listen "$address" --port 211 \
  --scenario "$examples/scenario.txt" > "$work/frontend.log" 2>&1 &
sim_pid=$!

# Builds the example; sets run (the command) and home (the program's folder).
home=$work
cp "$build/src/api/libCorvaneApply.so" "$work/"
case $lang in
  c)
    cc -Wall -I"$src/include" "$examples/c/host.c" -L"$work" -lCorvaneApply -Wl,-rpath,'$ORIGIN' \
      -o "$work/host"
    run=("$work/host") ;;
  python)
    cp "$(readlink -f /usr/bin/python3)" "$work/python3"  # Debian's, not a shim
    cp "$examples/python/host.py" "$work/"
    run=("$work/python3" "$work/host.py") ;;
  java)
    jdk=$(dirname "$(dirname "$(readlink -f "$(command -v java)")")")
    mkdir -p "$work/jdk/bin"
    for f in "$jdk"/*; do [ "$(basename "$f")" = bin ] || ln -s "$f" "$work/jdk/"; done
    cp "$jdk/bin/java" "$work/jdk/bin/"
    javac -encoding UTF-8 -cp /usr/share/java/jna.jar -d "$work" "$examples/java/Host.java"
    home=$work/jdk/bin
    run=("$work/jdk/bin/java" -cp "/usr/share/java/jna.jar:$work" Host "$work/libCorvaneApply.so") ;;
  csharp)
    cp "$(readlink -f "$(command -v mono)")" "$work/mono"
    mcs -nologo -out:"$work/Host.exe" "$examples/csharp/Host.cs"
    run=("$work/mono" "$work/Host.exe") ;;
  pascal)
    cp "$examples/pascal/host.dpr" "$work/"
    (cd "$work" && fpc -Mdelphi -Fl"$work" -k-rpath -k'$ORIGIN' host.dpr > fpc.log) || { cat "$work/fpc.log"; exit 1; }
    run=("$work/host") ;;
esac
printf '[SYSTEM]\r\nLocalIP=10.1.2.3\r\nNativeAddress=%s\r\nNativeServer=CorvaneFront.Trade\r\nAREAID=0101\r\n' \
  "$address" > "$home/TradeCfg.ini"

for _ in $(seq 100); do grep -q listening "$work/frontend.log" && break; sleep 0.1; done
start=$(date +%s%N)
# A library built with the sanitizers needs their runtime loaded first in a
# program that is not (tests/sanitizer/environment.cmake.in).
host_env=(LD_LIBRARY_PATH="$work")
if [ -n "${CORVANE_SANITIZER_PRELOAD:-}" ]; then
  host_env+=(LD_PRELOAD="$CORVANE_SANITIZER_PRELOAD" ASAN_OPTIONS="$CORVANE_SANITIZER_HOST_OPTIONS")
fi
out=$(cd "$work" && env "${host_env[@]}" "${run[@]}") || status=$?
ms=$(( ($(date +%s%N) - start) / 1000000 ))
# C and Pascal print the GBK bytes they received.
case $lang in c|pascal) out=$(printf '%s\n' "$out" | iconv -f GBK -t UTF-8) ;; esac
echo "$out"
echo "ran in $ms ms"
expected=$(printf '%s\n' 'init: 0 $$0~~~~$$' 'apply 250: 0 $$0~药品目录已生成~~~~$$' 'close: 0 $$0~~$$')
if [ "$out" != "$expected" ] || [ "${status:-0}" != 0 ]; then
  echo "FAIL: expected"; echo "$expected"; cat "$work/frontend.log"; exit 1
fi
# The request reached the front end as GBK text, and the files went to the
# program's folder.
grep -q 'Transmit no=250 .*request="药品~"' "$work/frontend.log" || { echo "FAIL: request"; cat "$work/frontend.log"; exit 1; }
[ -f "$home/TradeLog.ini" ] && [ -d "$home/log1" ] || { echo "FAIL: files not beside $home"; exit 1; }
echo "ok $lang"
