# Sourced by the end-to-end scripts: waits for a visible window by name on the current DISPLAY.
#
# find_window PATTERN SECONDS prints the first visible window whose name matches PATTERN, trying
# again until SECONDS have passed, and fails after that. xdotool's own --sync wait ends on the
# first X error, and walking the window tree gets one (BadWindow) whenever a window vanishes
# while it looks, as Wine's start-up windows do; every try here is a fresh walk.
find_window() {
    local pattern=$1 deadline=$((SECONDS + $2)) found
    while :; do
        found=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1) || true
        [ -n "$found" ] && { echo "$found"; return 0; }
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# window_absent PATTERN: true when a clean walk of the tree finds no visible window by that name
# (a walk that ended on an X error proves nothing, so it answers false and the caller asks again).
window_absent() {
    local errors
    errors=$(xdotool search --onlyvisible --name "$1" 2>&1 >/dev/null) && return 1
    [ -z "$errors" ]
}
