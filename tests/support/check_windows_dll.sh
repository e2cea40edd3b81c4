#!/bin/sh
# Static checks of a Windows DLL built here:
#   - its export table holds exactly the expected names (with their
#     ordinals, ordinal base 1, when they are given as ORDINAL:NAME);
#   - (32-bit) the functions are stdcall with the expected argument sizes,
#     read from the decorated names the compiler produced in OBJECT;
#   - every imported DLL is a system DLL (no compiler runtime to ship).
# usage: check_windows_dll.sh OBJDUMP NM DLL OBJECT 32|64 "EXPORTS" "STDCALL"
#   EXPORTS  e.g. "1:f_SetUserTradeCfg 2:f_UserCorvaneClose" or "IC_GetData IC_SaveData"
#   STDCALL  e.g. "f_UserCorvaneInit@12 f_UserCorvaneApply@24" (checked in 32-bit builds)
set -eu
objdump="$1"; nm="$2"; dll="$3"; obj="$4"; bits="$5"; exports="$6"; stdcall="$7"
fail=0
dump=$("$objdump" -p "$dll")

# [Ordinal/Name Pointer] Table lines: "[   i] name" where ordinal = i + base.
table=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\][[:space:]]*\(.*\)$/\1 \2/p')
case "$exports" in
  *:*)
    found=$(printf '%s\n' "$table" | awk '{print $1 + 1 ":" $2}' | sort -n | tr '\n' ' ')
    expected=$(printf '%s\n' $exports | sort -n | tr '\n' ' ')
    base=$(printf '%s\n' "$dump" | sed -n 's/.*Ordinal Base[[:space:]]*\([0-9]*\).*/\1/p' | head -1)
    if [ "$base" != "1" ]; then echo "FAIL ordinal base $base"; fail=1; fi ;;
  *)
    found=$(printf '%s\n' "$table" | awk '{print $2}' | sort | tr '\n' ' ')
    expected=$(printf '%s\n' $exports | sort | tr '\n' ' ') ;;
esac
if [ "$found" != "$expected" ]; then
  echo "FAIL export table: $found"
  echo "          expected: $expected"
  fail=1
else
  echo "ok   export table: $found"
fi

if [ "$bits" = "32" ]; then
  for pair in $stdcall; do
    if "$nm" "$obj" | grep -q " T _$pair\$"; then
      echo "ok   stdcall _$pair"
    else
      echo "FAIL stdcall: _$pair not defined in $obj"
      fail=1
    fi
  done
fi

system="kernel32.dll user32.dll gdi32.dll imm32.dll advapi32.dll ws2_32.dll wsock32.dll wininet.dll msvcrt.dll ole32.dll oleaut32.dll comctl32.dll shell32.dll comdlg32.dll"
for d in $(printf '%s\n' "$dump" | sed -n 's/.*DLL Name: *//p' | tr 'A-Z' 'a-z'); do
  case " $system " in
    *" $d "*) echo "ok   import $d" ;;
    *api-ms-win-*) echo "ok   import $d" ;;
    *) echo "FAIL import of a non-system DLL: $d"; fail=1 ;;
  esac
done
exit $fail
