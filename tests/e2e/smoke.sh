#!/usr/bin/env bash
# End-to-end: starts the real program under Xvfb, checks its window and screenshots it, then ends
# it with Esc, with Alt+F4 and with SIGTERM, and with SIGTERM while a start-up message box is open,
# and by taking its X server away, and shows it on 16-bit and 8-bit screens; then, on a
# 1920 x 1080 screen with a window manager, checks the doubled window, a click on a board cell, a
# resize and full screen, the view kept for the next start, and full screen on a screen with no
# window manager.
# Usage: smoke.sh PROGRAM ARTIFACT_DIR. With QUELLMARK_E2E_INSTALLED set, PROGRAM is an installed
# launcher that is run where it stands, through Esc and SIGTERM only.
set -euo pipefail
source "$(dirname "$0")/findwindow.sh"
program=$1
artifacts=$2
mkdir -p "$artifacts"
if [ -z "${QUELLMARK_E2E_INNER:-}" ]; then
    QUELLMARK_E2E_INNER=small xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
    exec env QUELLMARK_E2E_INNER=large xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
# The program runs from a folder of its own with its archive beside it, started from another
# working directory: it must find the archive through its own path and unpack it. Neither folder
# name is UTF-8: the program's is Latin-1, the data home's raw code page 932 bytes (ソ, whose
# second byte is a backslash), as unzip tools leave them.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
XDG_DATA_HOME="$scratch/data-"$'\x83\x5c'
gameFolder="$scratch/caf"$'\xe9'
mkdir "$XDG_DATA_HOME" "$gameFolder"
export XDG_DATA_HOME XDG_CONFIG_HOME="$scratch/config" # the view is remembered there
if [ -z "${QUELLMARK_E2E_INSTALLED:-}" ]; then
    cp "$program" "$(dirname "$program")/Quellmark.zrm" "$gameFolder/"
    program="$gameFolder/$(basename "$program")"
fi
extracted="$XDG_DATA_HOME/quellmark/Windows/Temp/Quellmark"
cd /

# Mean brightness (0 to 1) and number of distinct colours of the client area in a screenshot.
brightness() { convert "$1" -crop 632x449+4+27 +repage -colorspace Gray -format '%[fx:mean]' info:; }
colours() { convert "$1" -crop 632x449+4+27 +repage -format '%k' info:; }

fail() {
    echo "FAIL: $*"
    # A case's own X server, and the program on it, do not outlive a failed run.
    [ -z "${server:-}" ] || kill "${pid:-}" "$server" 2>/dev/null || true
    exit 1
}

# run_case NAME KEYS: starts the program, checks the window, presses KEYS and expects it to end.
run_case() {
    local name=$1 keys=$2
    "$program" &
    local pid=$!
    local window
    window=$(find_window '^Quellmark' 10) ||
        fail "$name: no window appeared"
    sleep 0.5 # the start-up scene enlarges the window on the first turn
    local geometry
    geometry=$(xdotool getwindowgeometry "$window")
    # 640 x 480 outer pixels less the frame: the client area is 632 x 449 at (4, 27).
    [[ "$geometry" == *"Geometry: 632x449"* ]] || fail "$name: window geometry $geometry"
    [[ "$geometry" == *"Position: 4,27"* ]] || fail "$name: window position $geometry"
    # Wait up to 10 s for the title picture (the start-up unpacks the archive first).
    for _ in $(seq 20); do
        import -window root "$artifacts/$name-title.png"
        [ "$(colours "$artifacts/$name-title.png")" -gt 200 ] && break
        sleep 0.5
    done
    # The title fills the client area with a picture of many colours; the screen around is black.
    local outside
    outside=$(convert "$artifacts/$name-title.png" -format '%[fx:int(255*p{700,40}.r)],%[fx:int(255*p{700,40}.g)],%[fx:int(255*p{700,40}.b)]' info:)
    [ "$outside" = "0,0,0" ] || fail "$name: outside the window shows $outside"
    [ "$(colours "$artifacts/$name-title.png")" -gt 200 ] || fail "$name: the title shows no picture"
    [ -f "$extracted/Title.bmp" ] || fail "$name: the archive was not unpacked into $extracted"
    xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "$name: the window has no icon"
    # A click starts stage 1: the board fills with tiles and the numbers appear in their panels.
    xdotool mousemove 300 300 click 1
    sleep 1.5
    xdotool mousemove 700 500
    sleep 0.3
    import -window root "$artifacts/$name-stage.png"
    compare -metric AE "$artifacts/$name-title.png" "$artifacts/$name-stage.png" null: 2>/dev/null &&
        fail "$name: the click did not change the picture"
    # The stage number panel shows "01": its inset (playfield 273..307, 56..75) has bright glyphs.
    local digits
    digits=$(convert "$artifacts/$name-stage.png" -crop 64x36+550+137 +repage -colorspace Gray \
        -format '%[fx:maxima]' info:)
    awk -v d="$digits" 'BEGIN {exit !(d > 0.6)}' || fail "$name: no stage number drawn ($digits)"
    [ ! -f "$extracted/Error.txt" ] || fail "$name: images failed to load: $(cat "$extracted/Error.txt")"
    [ ! -e /Error.txt ] || fail "$name: a log was written where the program was started from"
    local asked
    asked=$(date +%s%N)
    if [ "$keys" = SIGTERM ]; then
        kill -TERM "$pid" # asked to stop from outside: the close box's path, within a second
    else
        xdotool windowfocus --sync "$window"
        xdotool key $keys
    fi
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        fail "$name: the program did not end after $keys"
    fi
    local took=$((($(date +%s%N) - asked) / 1000000))
    [ "$keys" != SIGTERM ] || [ "$took" -lt 1000 ] || fail "$name: SIGTERM took $took ms"
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 255 ] || fail "$name: exit status $status, expected 255 (the entry returns -1)"
    echo "$name: window $geometry; ended by $keys in $took ms"
}

# A stop request while a start-up message box is open (no audio device: "DirectSound...") ends the
# program at once, box and all, with the signal's status.
box_case() {
    SDL_AUDIODRIVER=nosuchdriver "$program" &
    local pid=$! asked status=0
    for _ in $(seq 50); do
        xwininfo -root -children | grep -q '"エラー"' && break
        sleep 0.1
    done
    xwininfo -root -children | grep -q '"エラー"' || fail "box: no start-up message box"
    import -window root "$artifacts/box.png"
    asked=$(date +%s%N)
    kill -TERM "$pid"
    # tail looks at the process every 50 ms (its default second would take the whole bound)
    timeout 1 tail --pid="$pid" -s 0.05 -f /dev/null || fail "box: SIGTERM did not end the program"
    wait "$pid" || status=$?
    local took=$((($(date +%s%N) - asked) / 1000000))
    [ "$status" -eq 143 ] || fail "box: exit status $status, expected 143"
    for _ in $(seq 10); do # the box goes with the program
        xwininfo -root -children | grep -q '"エラー"' || break
        sleep 0.1
    done
    ! xwininfo -root -children | grep -q '"エラー"' || fail "box: the message box outlived the program"
    echo "box: SIGTERM with the message box open ended the program, box and all, in $took ms"
}

# wait_picture FILE WINDOW [COLOURS]: screenshots the window until it shows a picture of more
# than COLOURS colours (200 unless given).
wait_picture() {
    for _ in $(seq 20); do
        import -window "$2" "$1"
        [ "$(convert "$1" -format '%k' info:)" -gt "${3:-200}" ] && return 0
        sleep 0.5
    done
    fail "no picture in $1"
}

# sized_picture FILE WINDOW SIZE WHAT: the window shows a picture, and of that size.
sized_picture() {
    wait_picture "$1" "$2"
    local size
    size=$(identify -format '%wx%h' "$1")
    [ "$size" = "$3" ] || fail "$4 is $size, not $3"
}

# The view on a large screen: starts at twice the size, clicks map back to the board's cells, a
# resize and full screen keep the picture's shape with black bars; the program sees none of it.
scaled_case() {
    openbox >/dev/null 2>&1 &
    sleep 1
    "$program" &
    local pid=$! window geometry changed
    window=$(find_window '^Quellmark' 10) ||
        fail "scaled: no window appeared"
    sleep 0.5
    geometry=$(xdotool getwindowgeometry "$window")
    [[ "$geometry" == *"Geometry: 1264x898"* ]] || fail "scaled: not at twice the size: $geometry"
    wait_picture "$artifacts/scaled-title.png" "$window"
    xdotool mousemove --window "$window" 600 600 click 1
    sleep 1.5
    # The focus frame follows the mouse until a cell is selected, then stays on that cell. Board
    # cell (1, 0) spans client pixels 103..160 x 81..138, so 206..320 x 162..276 here, and the
    # cells lie 63.2 x 59.85 client pixels apart; the mouse waits over cell (3, 3) before and after
    # the click. The click goes to the first of a few cells that holds a tile (a group dealt in
    # may have just exploded and left its cells empty, and an empty cell shows no selection).
    xdotool mousemove --window "$window" 516 598
    sleep 0.5
    import -window "$window" "$artifacts/scaled-stage.png"
    local cell x y mean
    for cell in "1 0" "3 1" "0 2" "4 2" "2 4"; do
        read -r column row <<<"$cell"
        x=$((206 + (column - 1) * 1264 / 10)) y=$((162 + row * 1197 / 10))
        mean=$(convert "$artifacts/scaled-stage.png" -crop "114x114+$x+$y" +repage \
            -colorspace Gray -format '%[fx:mean]' info:)
        awk -v m="$mean" 'BEGIN {exit !(m > 0.05)}' && break
    done
    xdotool mousemove --window "$window" $((x + 57)) $((y + 48)) sleep 0.3 mousedown 1 sleep 0.1 \
        mouseup 1 sleep 0.3 mousemove --window "$window" 516 598
    sleep 0.5
    import -window "$window" "$artifacts/scaled-selected.png"
    changed=$(compare -metric AE "$artifacts/scaled-stage.png" "$artifacts/scaled-selected.png" \
        -crop "114x114+$x+$y" null: 2>&1 || true)
    [ "${changed%% *}" -gt 500 ] || fail "scaled: the click selected nothing at cell ($cell): $changed"
    xdotool windowsize "$window" 632 449
    sleep 0.5
    sized_picture "$artifacts/scaled-once.png" "$window" 632x449 "scaled: after the resize the window"
    xdotool windowfocus --sync "$window" key F11
    sleep 1
    sized_picture "$artifacts/scaled-fullscreen.png" "$window" 1920x1080 "scaled: full screen"
    # 1520 x 1080 of picture in the middle, black bars of 200 pixels on either side.
    local bars picture
    bars=$(convert "$artifacts/scaled-fullscreen.png" \( +clone -crop 200x1080+0+0 \) \
        \( -clone 0 -crop 200x1080+1720+0 \) -delete 0 -append -format '%[fx:maxima]' info:)
    picture=$(convert "$artifacts/scaled-fullscreen.png" -crop 1520x1080+200+0 +repage \
        -format '%k' info:)
    [ "$bars" = 0 ] || fail "scaled: the bars are not black ($bars)"
    [ "$picture" -gt 200 ] || fail "scaled: full screen shows no picture"
    xdotool key Escape
    local status=0
    timeout 5 tail --pid="$pid" -s 0.05 -f /dev/null || fail "scaled: Esc did not end the program"
    wait "$pid" || status=$?
    [ "$status" -eq 255 ] || fail "scaled: exit status $status"
    # The view is kept: the next start is full screen again, and F11 gives back the size it had.
    "$program" &
    pid=$!
    window=$(find_window '^Quellmark' 10) ||
        fail "scaled: no window appeared the second time"
    sleep 1
    sized_picture "$artifacts/scaled-remembered.png" "$window" 1920x1080 \
        "scaled: the next start (full screen, as it was left)"
    xdotool windowfocus --sync "$window" key F11
    sleep 1
    geometry=$(xdotool getwindowgeometry "$window")
    [[ "$geometry" == *"Geometry: 632x449"* ]] || fail "scaled: out of full screen: $geometry"
    xdotool key Escape
    timeout 5 tail --pid="$pid" -s 0.05 -f /dev/null || fail "scaled: Esc did not end the program"
    wait "$pid" || true
    rm -f "$XDG_CONFIG_HOME/quellmark/view"
    echo "scaled: 1264x898 at start, cell ($cell) selected, 632x449 and 1920x1080 letterboxed;" \
        "the next start full screen as left, and 632x449 again out of it"
}

# own_server GEOMETRY: starts an X server of the case's own (no window manager); sets the caller's
# server (its process) and number (its display number).
own_server() {
    rm -f "$gameFolder/display"
    Xvfb -displayfd 3 -screen 0 "$1" 3>"$gameFolder/display" 2>/dev/null &
    server=$!
    for _ in $(seq 50); do
        [ -s "$gameFolder/display" ] && break
        sleep 0.1
    done
    number=$(cat "$gameFolder/display")
}

# The X server going away (a session that ends) ends the program at once with a message: no spin,
# no crash in its exit handlers. The server here is one of its own, so that this run's goes on.
server_gone_case() {
    local server pid number status=0
    own_server 800x600x24
    DISPLAY=":$number" "$program" 2>"$gameFolder/gone.log" &
    pid=$!
    DISPLAY=":$number" find_window '^Quellmark' 10 >/dev/null || fail "server gone: no window appeared"
    sleep 1
    kill "$server"
    timeout 5 tail --pid="$pid" -s 0.05 -f /dev/null || {
        kill -9 "$pid"
        fail "server gone: the program did not end"
    }
    wait "$pid" || status=$?
    [ "$status" -eq 1 ] || fail "server gone: exit status $status, expected 1"
    grep -q "connection to the X server was lost" "$gameFolder/gone.log" ||
        fail "server gone: no message: $(cat "$gameFolder/gone.log")"
    echo "server gone: the program ended at once with status 1 and a message"
}

# program_on_own_server GEOMETRY LABEL: the program on an X server of its own (own_server); sets
# the caller's server, number, pid and window. stop_own_server ends both.
program_on_own_server() {
    own_server "$1"
    DISPLAY=":$number" "$program" &
    pid=$!
    window=$(DISPLAY=":$number" find_window '^Quellmark' 10) || fail "$2: no window appeared"
}
stop_own_server() {
    kill "$pid" "$server" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# F11 on an X server with no window manager, where SDL's request would leave the window as it
# is: the layer itself gives the window the whole screen, from a window larger than the screen
# too, the picture whole between black bars; F11 again gives the window back its size.
bare_fullscreen_case() {
    local server pid number window bars picture geometry outer=$DISPLAY
    program_on_own_server 1280x1024x24 "bare full screen"
    export DISPLAY=":$number"
    wait_picture "$artifacts/bare-before.png" "$window"
    # (larger than the screen: its size is the server's, a screenshot holds only what is on it)
    xdotool windowsize "$window" 1400 1100
    sleep 0.5
    [[ "$(xdotool getwindowgeometry "$window")" == *"Geometry: 1400x1100"* ]] ||
        fail "bare full screen: the window did not take 1400x1100"
    xdotool windowfocus --sync "$window" key F11
    sleep 1
    sized_picture "$artifacts/bare-fullscreen.png" "$window" 1280x1024 "bare full screen: F11's view"
    # The client area fitted: 1280 x 909 of picture, bars of 57 rows or more above and below.
    bars=$(convert "$artifacts/bare-fullscreen.png" \( +clone -crop 1280x57+0+0 \) \
        \( -clone 0 -crop 1280x57+0+967 \) -delete 0 -append -format '%[fx:maxima]' info:)
    picture=$(convert "$artifacts/bare-fullscreen.png" -crop 1280x900+0+62 +repage -format '%k' \
        info:)
    xdotool key F11
    sleep 1
    geometry=$(xdotool getwindowgeometry "$window")
    stop_own_server
    export DISPLAY=$outer
    [[ "$geometry" == *"Geometry: 1400x1100"* ]] || fail "bare full screen: out of it: $geometry"
    [ "$bars" = 0 ] || fail "bare full screen: the bars are not black ($bars)"
    [ "$picture" -gt 200 ] || fail "bare full screen: no picture between the bars"
    echo "bare full screen: F11 with no window manager takes the screen from 1400x1100 and gives it back"
}

# depth_case DEPTH COLOURS: the title on a screen of that depth shows in more than COLOURS colours
# (8 bits: SDL makes no window surface there, and the layer draws through Xlib in the window's
# colours, 3-3-2 bits of them on Xvfb).
depth_case() {
    local server pid number window
    program_on_own_server "800x600x$1" "$1-bit screen"
    DISPLAY=":$number" wait_picture "$artifacts/depth$1-title.png" "$window" "$2"
    stop_own_server
    echo "$1-bit screen: the title shows in its colours"
}

if [ "$QUELLMARK_E2E_INNER" = small ]; then
    run_case escape Escape
    [ -n "${QUELLMARK_E2E_INSTALLED:-}" ] || run_case alt-f4 alt+F4
    run_case sigterm SIGTERM
    [ -n "${QUELLMARK_E2E_INSTALLED:-}" ] || box_case
    [ -n "${QUELLMARK_E2E_INSTALLED:-}" ] || server_gone_case
    [ -n "${QUELLMARK_E2E_INSTALLED:-}" ] || depth_case 16 200
    [ -n "${QUELLMARK_E2E_INSTALLED:-}" ] || depth_case 8 60
    exit 0
fi
[ -n "${QUELLMARK_E2E_INSTALLED:-}" ] || scaled_case
[ -n "${QUELLMARK_E2E_INSTALLED:-}" ] || bare_fullscreen_case
echo "end-to-end: all checks passed; screenshots in $artifacts"
