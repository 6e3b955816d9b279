#!/usr/bin/env bash
# The real program's share of one core and its wakeups a second: 10 s on the title and in stage 4,
# 5 s on the clear, ending and game-over screens, under Xvfb on an 800 x 600 screen (the picture at
# its own size) and on a 1920 x 1080 screen (the view doubled), with SDL's dummy sound; then on
# the 800 x 600 screen with a PulseAudio server's null sink, as a desktop plays the music.
# Usage: bench-cpu.sh [PROGRAM]
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/e2e/findwindow.sh
program=$(realpath "${1:-build/native/bin/Quellmark}")
if [ -z "${QUELLMARK_BENCH_INNER:-}" ]; then
    QUELLMARK_BENCH_INNER="800 x 600" xvfb-run -a -s "-screen 0 800x600x24" "$0" "$program"
    QUELLMARK_BENCH_INNER="1920 x 1080" xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$program"
    exec env QUELLMARK_BENCH_INNER="800 x 600, PulseAudio null sink" QUELLMARK_BENCH_AUDIO=pulse \
        xvfb-run -a -s "-screen 0 800x600x24" "$0" "$program"
fi
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
XDG_DATA_HOME=$(mktemp -d)
XDG_CONFIG_HOME=$(mktemp -d) # no view remembered from an earlier run
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR
trap 'pulseaudio --kill 2>/dev/null || true; rm -rf "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"' EXIT
if [ "${QUELLMARK_BENCH_AUDIO:-}" = pulse ]; then
    # A real sound server, as on a desktop: the audio thread's wakeups count with the rest.
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load="module-null-sink sink_name=null" \
        --load=module-native-protocol-unix >/dev/null 2>&1 || { echo "no PulseAudio server" >&2; exit 1; }
    export SDL_AUDIODRIVER=pulseaudio
fi
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Context switches (each one a wakeup of a sleeping thread, or a preemption): the main thread's,
# and all threads' together (the audio thread's included).
switches() { awk '/ctxt_switches/ {n += $2} END {print n}' "/proc/$1/status"; }
allSwitches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'; }
# share PID LABEL SECONDS: the share of one core and the wakeups a second over that time.
share() {
    local before after main0 main1 all0 all1
    before=$(ticks "$1") main0=$(switches "$1") all0=$(allSwitches "$1")
    sleep "$3"
    after=$(ticks "$1") main1=$(switches "$1") all1=$(allSwitches "$1")
    awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v l="$2" -v s="$3" \
        -v m=$((main1 - main0)) -v a=$((all1 - all0)) \
        'BEGIN {printf "%s: %.1f %% of one core over %d s; %d wakeups a second (main thread), %d (all threads)\n", l, 100 * t / hz / s, s, m / s, a / s}'
}
"$program" &
pid=$!
window=$(find_window '^Quellmark' 10)
sleep 3 # start-up and the first title frames
share "$pid" "$QUELLMARK_BENCH_INNER screen, title" 10
xdotool mousemove --window "$window" 300 300 click 1
sleep 1
for _ in 1 2 3; do # F2 clears a stage; a click goes on to the next
    xdotool key --window "$window" F2
    sleep 0.5
    xdotool click 1
    sleep 0.5
    xdotool click 1
    sleep 1
done
share "$pid" "$QUELLMARK_BENCH_INNER screen, stage 4" 10
xdotool key --window "$window" F2
sleep 1
share "$pid" "$QUELLMARK_BENCH_INNER screen, clear" 5
xdotool click 1 # the whole caption
sleep 0.5
xdotool click 1 # on to the ending
sleep 1
share "$pid" "$QUELLMARK_BENCH_INNER screen, ending" 5
xdotool key --window "$window" F3
sleep 1
share "$pid" "$QUELLMARK_BENCH_INNER screen, game over" 5
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
if [ "$status" -ne 255 ]; then # the close box ends it as the entry's -1; anything else is a fault
    echo "the program ended with status $status, expected 255" >&2
    exit 1
fi
