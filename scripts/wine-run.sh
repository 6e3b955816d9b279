#!/usr/bin/env bash
# Runs a Windows program of the windows-x64 build under wine64 with a private prefix and a
# virtual X server, using Wine's CPU renderer for DirectDraw. Usage: wine-run.sh PROGRAM.exe [ARGS]
set -euo pipefail
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
export WINEPREFIX=${WINEPREFIX:-$(pwd)/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    xvfb-run -a -s "-screen 0 800x600x24" sh -c "'$wine' wineboot -i && '$wine' reg add 'HKCU\\Software\\Wine\\Direct3D' /v renderer /t REG_SZ /d gdi /f && '$wineserver' -w" >/dev/null 2>&1
fi
xvfb-run -a -s "-screen 0 800x600x24" sh -c "'$wine' \"\$@\"; status=\$?; '$wineserver' -w; exit \$status" wine-run "$@"
