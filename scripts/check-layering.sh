#!/usr/bin/env bash
# Checks that includes run one way: between the game's folders, and between the platform layer's
# subsystems (platform/src/*). Prints each include that goes the wrong way and fails if there is one.
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
    [ddraw]="gdi screen user kernel"
    [gdi]="user kernel"
    [screen]="user kernel"
    [user]="kernel"
    [audio]="kernel"
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
if [ "$wrong" -ne 0 ]; then
    exit 1
fi
echo "check-layering: includes run one way in the game's folders and in the layer's subsystems"
