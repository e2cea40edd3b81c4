#!/bin/sh
# Static checks of a build of the card simulator library:
#   - it exports exactly the five reader functions under their plain names;
#   - (32-bit Windows) they are stdcall with 4, 4, 12, 20 and 4 bytes of
#     arguments, read from the decorated names the compiler produced;
#   - (Windows) every imported DLL is a system DLL.
# usage: check_simulator_library.sh linux NM LIBRARY
#        check_simulator_library.sh windows OBJDUMP NM DLL OBJECT 32|64
set -eu
expected="IC_CloseSession;IC_GetData;IC_OpenSession;IC_PINVerify;IC_SaveData;"
fail=0
if [ "$1" = "linux" ]; then
  names=$("$2" -D --defined-only "$3" | awk '$2 == "T" {print $3}' | sort | tr '\n' ';')
  if [ "$names" != "$expected" ]; then echo "FAIL exports: $names"; exit 1; fi
  echo "ok   exports: $names"
  exit 0
fi
objdump="$2"; nm="$3"; dll="$4"; obj="$5"; bits="$6"
dump=$("$objdump" -p "$dll")
names=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\(.*\)$/\1/p' | sort | tr '\n' ';')
if [ "$names" != "$expected" ]; then
  echo "FAIL export table: $names"
  fail=1
else
  echo "ok   export table: $names"
fi
if [ "$bits" = "32" ]; then
  for pair in IC_OpenSession@4 IC_PINVerify@4 IC_GetData@12 IC_SaveData@20 IC_CloseSession@4; do
    if "$nm" "$obj" | grep -q " T _$pair\$"; then
      echo "ok   stdcall _$pair"
    else
      echo "FAIL stdcall: _$pair not defined in $obj"
      fail=1
    fi
  done
fi
system="kernel32.dll user32.dll advapi32.dll ws2_32.dll wsock32.dll wininet.dll msvcrt.dll"
for d in $(printf '%s\n' "$dump" | sed -n 's/.*DLL Name: *//p' | tr 'A-Z' 'a-z'); do
  case " $system " in
    *" $d "*) echo "ok   import $d" ;;
    *api-ms-win-*) echo "ok   import $d" ;;
    *) echo "FAIL import of a non-system DLL: $d"; fail=1 ;;
  esac
done
exit $fail
