#!/usr/bin/env bash
# Runs the frame benchmark natively and from the windows-x64 build under wine64, both on one
# virtual X server, and natively again on a large screen; prints the figures and the ratios of the
# medians. Needs both builds.
set -euo pipefail
cd "$(dirname "$0")/.."
native=$(xvfb-run -a -s "-screen 0 800x600x24" env SDL_VIDEODRIVER=x11 build/native/bin/bench_frame)
# On a 1920 x 1080 screen the window starts at twice its size and the server scales the picture.
large=$(xvfb-run -a -s "-screen 0 1920x1080x24" env SDL_VIDEODRIVER=x11 build/native/bin/bench_frame)
wine=$(./scripts/wine-run.sh build/windows-x64/bin/bench_frame.exe | tr -d '\r')
echo "native (layer):"
echo "$native"
echo "native, 1920 x 1080 screen (view scaled twice by the X server):"
echo "$large"
echo "windows-x64 under wine64:"
echo "$wine"
ratio() { # label
    local n w
    n=$(echo "$native" | awk -v l="$1" '$0 ~ l {print $3}')
    w=$(echo "$wine" | awk -v l="$1" '$0 ~ l {print $3}')
    awk -v n="$n" -v w="$w" -v l="$1" 'BEGIN {printf "%s: wine / native = %.1f\n", l, w / n}'
}
ratio "stage frame"
ratio "game-over frame"
