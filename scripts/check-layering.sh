#!/usr/bin/env bash
# Checks that includes run one way: between the game's folders, and between the platform layer's
# subsystems (platform/src/*); given a native build folder, also that calls do: no subsystem's
# objects call a function defined in a subsystem it may not include. Prints each include or call
# that goes the wrong way and fails if there is one.
# Usage: check-layering.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."

# Each folder and the folders its files may include (besides its own).
declare -A game=(
    [app]="game graphics sound archive core"
    [game]="graphics sound archive core"
    [graphics]="archive core"
    [sound]="archive core"
    [archive]="core"
    [core]=""
)
declare -A layer=(
    [ddraw]="screen user gdi kernel"
    [screen]="user gdi kernel"
    [audio]="user kernel"
    [user]="gdi kernel"
    [gdi]="kernel"
    [kernel]=""
)

wrong=0
# check ROOT TABLE: every quoted include "FOLDER/..." in ROOT/FOLDER names an allowed folder.
check() {
    local root=$1
    local -n allowed=$2
    local folder file target
    for folder in "${!allowed[@]}"; do
        [ -d "$root$folder" ] || { echo "check-layering: no folder $root$folder"; wrong=1; continue; }
        while IFS=: read -r file target; do
            [ "$target" = "$folder" ] && continue
            [ -n "${allowed[$target]+known}" ] || continue # not one of the folders ranked here
            if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
                echo "check-layering: $file includes $target/, against the order"
                wrong=1
            fi
        done < <(grep -HoE '^#include "[a-z]+/' -r "$root$folder" --include='*.cpp' --include='*.h' |
            sed -E 's/#include "([a-z]+)\//\1/')
    done
}
check "" game
check "platform/src/" layer

# calls OBJECTS: every function a subsystem's objects call and another subsystem defines is
# defined in one it may include.
calls() {
    local objects=$1 from to symbol
    local -A definedIn=()
    for to in "${!layer[@]}"; do
        while read -r symbol; do definedIn[$symbol]=$to; done < <(
            nm --defined-only -g "$objects/$to/"*.o | awk 'NF == 3 {print $3}')
    done
    for from in "${!layer[@]}"; do
        while read -r symbol; do
            to=${definedIn[$symbol]:-}
            [ -n "$to" ] && [ "$to" != "$from" ] || continue
            if [[ " ${layer[$from]} " != *" $to "* ]]; then
                echo "check-layering: $from/ calls $(c++filt "$symbol") of $to/, against the order"
                wrong=1
            fi
        done < <(nm -u "$objects/$from/"*.o | awk 'NF == 2 {print $2}' | sort -u)
    done
}
if [ $# -ge 1 ]; then
    objects=$1/platform/CMakeFiles/platform.dir/src
    [ -d "$objects" ] || { echo "check-layering: no objects in $objects"; exit 1; }
    calls "$objects"
fi
if [ "$wrong" -ne 0 ]; then
    exit 1
fi
echo "check-layering: includes${1:+ and calls} run one way in the game's folders and in the" \
    "layer's subsystems"
