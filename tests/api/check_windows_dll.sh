#!/bin/sh
# Static checks of a Windows build of the library:
#   - the export table holds exactly the four names with ordinals 1 to 4;
#   - (32-bit) the functions are stdcall with 12, 24, 12 and 16 bytes of
#     arguments, read from the decorated names the compiler produced;
#   - every imported DLL is a system DLL (no compiler runtime to ship).
# usage: check_windows_dll.sh OBJDUMP NM DLL EXPORTS_OBJECT [32|64]
set -eu
objdump="$1"; nm="$2"; dll="$3"; obj="$4"; bits="$5"
fail=0
dump=$("$objdump" -p "$dll")

# [Ordinal/Name Pointer] Table lines: "[   i] name" where ordinal = i + base (1).
names=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\][[:space:]]*\(.*\)$/\1 \2/p' |
  awk '{print $1 + 1, $2}' | sort -n | tr '\n' ';')
expected="1 f_SetUserTradeCfg;2 f_UserCorvaneClose;3 f_UserCorvaneApply;4 f_UserCorvaneInit;"
if [ "$names" != "$expected" ]; then
  echo "FAIL export table: $names"
  echo "          expected: $expected"
  fail=1
else
  echo "ok   export table: $names"
fi
base=$(printf '%s\n' "$dump" | sed -n 's/.*Ordinal Base[[:space:]]*\([0-9]*\).*/\1/p' | head -1)
if [ "$base" != "1" ]; then echo "FAIL ordinal base $base"; fail=1; fi

if [ "$bits" = "32" ]; then
  for pair in f_UserCorvaneInit@12 f_UserCorvaneApply@24 f_UserCorvaneClose@12 f_SetUserTradeCfg@16; do
    if "$nm" "$obj" | grep -q " T _$pair\$"; then
      echo "ok   stdcall _$pair"
    else
      echo "FAIL stdcall: _$pair not defined in $obj"
      "$nm" "$obj" | grep ' T ' | grep f_ || true
      fail=1
    fi
  done
fi

system="kernel32.dll user32.dll gdi32.dll advapi32.dll ws2_32.dll wsock32.dll wininet.dll msvcrt.dll ole32.dll oleaut32.dll comctl32.dll shell32.dll comdlg32.dll"
for d in $(printf '%s\n' "$dump" | sed -n 's/.*DLL Name: *//p' | tr 'A-Z' 'a-z'); do
  case " $system " in
    *" $d "*) echo "ok   import $d" ;;
    *api-ms-win-*) echo "ok   import $d" ;;
    *) echo "FAIL import of a non-system DLL: $d"; fail=1 ;;
  esac
done
exit $fail
