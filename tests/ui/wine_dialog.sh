#!/usr/bin/env bash
# The Win32 settings dialog under Wine on a virtual X screen of its own:
# runs ui_win_dialog_test.exe (typed, confirmed, cancelled, closed, a
# refused save) with a screen, then its no-display case without one.
# usage: wine_dialog.sh PNG_SHOT DISPLAY_WIN64 DISPLAY_WIN32
#   Registered per Windows build (corvane_add_wine_command): the build, its
#   target and its Wine runner come from CORVANE_WINDOWS_BUILD,
#   CORVANE_WINDOWS_TARGET and CORVANE_WINE; CORVANE_DIALOG_DISPLAY, when
#   set, names another screen number.  The Wine prefix is the run's prefix
#   with "-dialog" added (a server of its own that knows the screen).
set -euo pipefail
png_shot=$1
build=$CORVANE_WINDOWS_BUILD target=$CORVANE_WINDOWS_TARGET wine_run=$CORVANE_WINE
if [ "$target" = win32 ]; then display=$3; else display=$2; fi
display=${CORVANE_DIALOG_DISPLAY:-$display}
root=$(cd "$(dirname "$0")/../.." && pwd)
base64=${CORVANE_WINEPREFIX:-$HOME/.corvane-wine}
base32=${CORVANE_WINE32_PREFIX:-${CORVANE_BUILD_ROOT:-$root/build}/wine32prefix}
export CORVANE_WINEPREFIX="$base64-dialog" CORVANE_WINE32_PREFIX="$base32-dialog"
if [ "$target" = win32 ]; then
  export WINEPREFIX="$CORVANE_WINE32_PREFIX"
else
  export WINEPREFIX="$CORVANE_WINEPREFIX"
fi
wineserver=${WINESERVER:-/usr/lib/wine/wineserver64}
work=$(mktemp -d)
pictures=${TMPDIR:-/tmp}/corvane-dialog-pictures
mkdir -p "$pictures"
rm -f "/tmp/.X11-unix/X${display#:}"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 200); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
cp "$build/tests/ui/ui_win_dialog_test.exe" "$build/src/api/CorvaneApply.dll" "$work/"
cd "$work"
export DISPLAY="$display"
"$wineserver" -k 2>/dev/null || true
"$wine_run" wineboot -i >/dev/null 2>&1 || true  # creates the prefix the first time
"$wineserver" -p 60 2>/dev/null || true  # kept up while the tests run
status=0
"$wine_run" ./ui_win_dialog_test.exe || status=1
if [ -f settings-dialog.bmp ]; then
  "$png_shot" convert settings-dialog.bmp "$pictures/settings-dialog-$target.png"
  echo "picture: $pictures/settings-dialog-$target.png"
fi
DISPLAY= CORVANE_NO_DISPLAY=1 "$wine_run" ./ui_win_dialog_test.exe || status=1
exit $status
