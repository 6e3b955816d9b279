#!/usr/bin/env bash
# End-to-end under Wine: the Windows build's Quellmark.exe reaches the title and stage 1 and ends
# with Esc and the exit status of its entry (-1), with a PulseAudio null sink so that DirectSound
# and DirectMusic start; with QUELLMARK_E2E_AUDIO=none there is no audio device, and the start-up's
# failure boxes must appear, readable (their caption found by its Japanese text), and let the game
# go on after OK. WINE and WINESERVER choose Wine's loader (wine64 unless set; wine for the i686
# build, inside scripts/vm-run.sh's machine).
# Usage: wine-smoke.sh BIN_FOLDER ARTIFACT_DIR (BIN_FOLDER holds Quellmark.exe and Quellmark.zrm)
set -euo pipefail
source "$(dirname "$0")/findwindow.sh"
bin=$1
artifacts=$2
mkdir -p "$artifacts"
if [ -z "${QUELLMARK_E2E_INNER:-}" ]; then
    exec env QUELLMARK_E2E_INNER=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver64}
audio=${QUELLMARK_E2E_AUDIO:-pulse}
export WINEPREFIX=${WINEPREFIX:-$(pwd)/build/wineprefix}
export WINEDEBUG=-all
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
fail() {
    echo "FAIL: $*"
    exit 1
}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f >/dev/null 2>&1
    "$wineserver" -w
fi
if [ "$audio" = pulse ]; then
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load="module-null-sink sink_name=null" \
        --load=module-native-protocol-unix >/dev/null 2>&1 || fail "no PulseAudio server"
fi
trap 'pulseaudio --kill 2>/dev/null || true; "$wineserver" -k 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
# Windows names are case-insensitive; Wine's prefix spells the folder "temp".
extracted="$(ls -d "$WINEPREFIX"/drive_c/windows/[Tt]emp | head -n 1)/Quellmark"
rm -rf "$extracted"

(cd "$bin" && "$wine" Quellmark.exe) &
pid=$!
window=$(find_window '^Quellmark' 120) ||
    fail "no window appeared"
if [ "$audio" = none ]; then
    # Both devices fail: the sound's box, then the music's, each captioned "エラー" (the caption
    # comes out in another text unless the code page 932 text was converted for this system).
    for device in sound music; do
        box=$(find_window '^エラー$' 120) ||
            fail "no readable box for the $device device"
        sleep 1
        import -window root "$artifacts/wine-box-$device.png"
        xdotool windowfocus --sync "$box" key Return
        for _ in $(seq 100); do
            window_absent '^エラー$' && break
            sleep 0.2
        done
    done
fi
# The title may take a while under Wine (and longer on an emulated processor): wait up to 90 s for
# a picture of many colours.
for _ in $(seq 90); do
    sleep 1
    import -window root "$artifacts/wine-title.png"
    [ "$(convert "$artifacts/wine-title.png" -crop 632x449+4+27 +repage -format '%k' info:)" -gt 200 ] &&
        break
done
[ "$(convert "$artifacts/wine-title.png" -crop 632x449+4+27 +repage -format '%k' info:)" -gt 200 ] ||
    fail "the title shows no picture"
[ -f "$extracted/Title.bmp" ] || fail "the archive was not unpacked into $extracted"
# The picture lines up with the client area that the X window stands for: its first and last rows
# are drawn, the row above it is not.
eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print "cx=" $NF} /Absolute upper-left Y/ {print "cy=" $NF} /Width/ {print "cw=" $NF} /Height/ {print "ch=" $NF}')"
row() { convert "$artifacts/wine-title.png" -crop "${cw}x1+${cx}+$1" +repage -format '%[fx:mean]' info:; }
awk -v top="$(row "$cy")" -v bottom="$(row $((cy + ch - 1)))" -v above="$(row $((cy - 1)))" \
    'BEGIN {exit !(top > 0.02 && bottom > 0.02 && above == 0)}' ||
    fail "the picture does not fill the client area ${cw}x${ch}+${cx}+${cy}"
xdotool mousemove 300 300 click 1
sleep 3
xdotool mousemove 700 500
sleep 0.5
import -window root "$artifacts/wine-stage.png"
compare -metric AE "$artifacts/wine-title.png" "$artifacts/wine-stage.png" null: 2>/dev/null &&
    fail "the click did not change the picture"
digits=$(convert "$artifacts/wine-stage.png" -crop 64x36+550+137 +repage -colorspace Gray \
    -format '%[fx:maxima]' info:)
awk -v d="$digits" 'BEGIN {exit !(d > 0.6)}' || fail "no stage number drawn ($digits)"
[ ! -f "$extracted/Error.txt" ] || fail "images failed to load"
xdotool windowfocus --sync "$window"
xdotool key Escape
for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Esc did not end the program"
status=0
wait "$pid" || status=$?
if [ "$status" -eq 139 ]; then
    # A SIGSEGV of Wine's own loader: a fault of the Windows program would end as an exception
    # code, not as a host signal. Seen once in a dozen runs, after the game had reached the title,
    # stage 1 and Esc; exit 3 lets the caller run the case once more.
    echo "wine-smoke: Wine's loader itself ended with SIGSEGV after Esc (status 139)"
    exit 3
fi
[ "$status" -eq 255 ] || fail "the program ended with $status, not the entry's -1"
echo "end-to-end under $(basename "$wine") (audio: $audio): title, stage 1 and Esc all as natively; screenshots in $artifacts"
