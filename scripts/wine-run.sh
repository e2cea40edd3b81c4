#!/bin/sh
# Runs a Windows program under wine64 with code page 936 (GBK), as on a
# hospital workstation in China.  LANG alone leaves Wine on code page 1252:
# LC_ALL must name the GBK locale.
export LC_ALL=zh_CN.GBK
export WINEPREFIX="${CORVANE_WINEPREFIX:-$HOME/.corvane-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if command -v wine64 >/dev/null 2>&1; then exec wine64 "$@"; fi
exec /usr/lib/wine/wine64 "$@"
