#!/usr/bin/env bash
# The real program's share of one core over 10 s on the title and 10 s in stage 4, under Xvfb on an
# 800 x 600 screen (the picture at its own size) and on a 1920 x 1080 screen (the view doubled).
# Usage: bench-cpu.sh [PROGRAM]
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/native/bin/Quellmark}")
if [ -z "${QUELLMARK_BENCH_INNER:-}" ]; then
    QUELLMARK_BENCH_INNER="800 x 600" xvfb-run -a -s "-screen 0 800x600x24" "$0" "$program"
    exec env QUELLMARK_BENCH_INNER="1920 x 1080" xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$program"
fi
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
XDG_DATA_HOME=$(mktemp -d)
XDG_CONFIG_HOME=$(mktemp -d) # no view remembered from an earlier run
export XDG_DATA_HOME XDG_CONFIG_HOME
trap 'rm -rf "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"' EXIT
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
share() { # pid label
    local before after
    before=$(ticks "$1")
    sleep 10
    after=$(ticks "$1")
    awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v l="$2" \
        'BEGIN {printf "%s: %.1f %% of one core over 10 s\n", l, 100 * t / hz / 10}'
}
"$program" &
pid=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Quellmark' | head -n 1)
sleep 3 # start-up and the first title frames
share "$pid" "$QUELLMARK_BENCH_INNER screen, title"
xdotool mousemove --window "$window" 600 600 click 1
sleep 1
for _ in 1 2 3; do # F2 clears a stage; a click goes on to the next
    xdotool key --window "$window" F2
    sleep 0.5
    xdotool click 1
    sleep 0.5
    xdotool click 1
    sleep 1
done
share "$pid" "$QUELLMARK_BENCH_INNER screen, stage 4"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
if [ "$status" -ne 255 ]; then # the close box ends it as the entry's -1; anything else is a fault
    echo "the program ended with status $status, expected 255" >&2
    exit 1
fi
