#!/usr/bin/env bash
# End-to-end: starts the real program under Xvfb, checks its window and screenshots it, then ends
# it once with Esc and once with Alt+F4. Usage: smoke.sh PROGRAM ARTIFACT_DIR
set -euo pipefail
program=$1
artifacts=$2
mkdir -p "$artifacts"
if [ -z "${QUELLMARK_E2E_INNER:-}" ]; then
    exec env QUELLMARK_E2E_INNER=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
XDG_DATA_HOME=$(mktemp -d)
export XDG_DATA_HOME
# The program runs from a folder of its own, with a title picture beside it and no archive, and
# is started from another working directory: it must find its picture through its own path.
gameFolder=$(mktemp -d)
trap 'rm -rf "$XDG_DATA_HOME" "$gameFolder"' EXIT
cp "$program" "$gameFolder/"
program="$gameFolder/$(basename "$program")"
convert -size 320x240 xc:'#203050' -size 320x40 xc:black -append -type truecolor \
    -define bmp:format=bmp3 "$gameFolder/Title.bmp"
cd /

fail() {
    echo "FAIL: $*"
    exit 1
}

# run_case NAME KEYS: starts the program, checks the window, presses KEYS and expects it to end.
run_case() {
    local name=$1 keys=$2
    "$program" &
    local pid=$!
    local window
    window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Quellmark' | head -n 1) ||
        fail "$name: no window appeared"
    sleep 0.5 # the start-up scene enlarges the window on the first turn
    local geometry
    geometry=$(xdotool getwindowgeometry "$window")
    # 640 x 480 outer pixels less the frame: the client area is 632 x 449 at (4, 27).
    [[ "$geometry" == *"Geometry: 632x449"* ]] || fail "$name: window geometry $geometry"
    [[ "$geometry" == *"Position: 4,27"* ]] || fail "$name: window position $geometry"
    import -window root "$artifacts/$name.png"
    # The title picture (0x203050) fills the client area, stretched; the screen around is black.
    local inside outside
    inside=$(convert "$artifacts/$name.png" -format '%[fx:int(255*p{10,40}.r)],%[fx:int(255*p{10,40}.g)],%[fx:int(255*p{10,40}.b)]' info:)
    outside=$(convert "$artifacts/$name.png" -format '%[fx:int(255*p{700,40}.r)],%[fx:int(255*p{700,40}.g)],%[fx:int(255*p{700,40}.b)]' info:)
    [ "$inside" = "32,48,80" ] || fail "$name: client area shows $inside, expected the playfield colour"
    [ "$outside" = "0,0,0" ] || fail "$name: outside the window shows $outside"
    xdotool windowfocus --sync "$window"
    xdotool key $keys
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        fail "$name: the program did not end after $keys"
    fi
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 255 ] || fail "$name: exit status $status, expected 255 (the entry returns -1)"
    echo "$name: window $geometry; ended by $keys"
}

run_case escape Escape
run_case alt-f4 alt+F4
echo "end-to-end: all checks passed; screenshots in $artifacts"
