#!/usr/bin/env bash
# End-to-end: the program's sound stream as a desktop's volume mixer shows it. Starts a PulseAudio
# server with a null sink, runs the program under Xvfb and checks that its stream has a name that
# says what it plays and carries the program's icon name.
# Usage: mixer.sh PROGRAM
set -euo pipefail
program=$1
if [ -z "${QUELLMARK_E2E_INNER:-}" ]; then
    exec env QUELLMARK_E2E_INNER=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
fail() {
    echo "FAIL: $*"
    exit 1
}
scratch=$(mktemp -d)
export XDG_RUNTIME_DIR="$scratch/run" XDG_DATA_HOME="$scratch/data" HOME="$scratch"
mkdir -m 700 "$XDG_RUNTIME_DIR"
pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load="module-null-sink sink_name=null" \
    --load=module-native-protocol-unix >/dev/null 2>&1 || fail "no PulseAudio server"
trap 'pulseaudio --kill 2>/dev/null || true; rm -rf "$scratch"' EXIT
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=pulseaudio "$program" &
pid=$!
inputs=""
for _ in $(seq 50); do
    inputs=$(pactl list sink-inputs 2>/dev/null)
    [ -n "$inputs" ] && break
    sleep 0.2
done
kill -TERM "$pid" 2>/dev/null || true
wait "$pid" || true
echo "$inputs" | grep -q 'media.name = "Music"' || fail "no stream named Music: $inputs"
echo "$inputs" | grep -q 'application.icon_name = "io.github.quellmark.Quellmark"' ||
    fail "the stream carries no icon name: $inputs"
echo "mixer: the stream is named Music and carries the icon io.github.quellmark.Quellmark"
