#!/usr/bin/env bash
# The Win32 settings dialog under Wine on a virtual X screen of its own:
# runs ui_win_dialog_test.exe (typed, confirmed, cancelled, closed, a
# refused save) with a screen, then its no-display case without one.
# usage: wine_dialog.sh WINDOWS_BUILD_DIR WINE_RUNNER PNG_SHOT DISPLAY
#   WINE_RUNNER runs a Windows program with code page 936 (scripts/wine-run.sh);
#   the Wine prefix is "$CORVANE_WINEPREFIX-dialog" (a server of its own that
#   knows the screen); WINESERVER names the matching wineserver if needed.
set -euo pipefail
build=$1 wine_run=$2 png_shot=$3 display=$4
base=${CORVANE_WINEPREFIX:-$HOME/.corvane-wine}
export CORVANE_WINEPREFIX="$base-dialog"
export WINEPREFIX="$CORVANE_WINEPREFIX"
wineserver=${WINESERVER:-wineserver}
arch=$(basename "$build")
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
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
cp "$build/tests/ui/ui_win_dialog_test.exe" "$build/src/api/CorvaneApply.dll" "$work/"
cd "$work"
export DISPLAY="$display"
"$wineserver" -k 2>/dev/null || true
"$wine_run" wineboot -i >/dev/null 2>&1 || true  # creates the prefix the first time
"$wineserver" -p 30 2>/dev/null || true  # kept up while the tests run
status=0
"$wine_run" ./ui_win_dialog_test.exe || status=1
if [ -f settings-dialog.bmp ]; then
  "$png_shot" convert settings-dialog.bmp "$pictures/settings-dialog-$arch.png"
  echo "picture: $pictures/settings-dialog-$arch.png"
fi
DISPLAY= CORVANE_NO_DISPLAY=1 "$wine_run" ./ui_win_dialog_test.exe || status=1
exit $status
