#!/usr/bin/env bash
# zrmpack's command line: pack, list and extract, and refusals with a message and a non-zero exit.
set -u
zrmpack=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description, command...
    local what=$1
    shift
    if ! "$@"; then
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}

mkdir -p "$work/in" "$work/out"
printf 'BM\r\n\x00bytes' >"$work/in/Title.bmp"
printf 'MThd' >"$work/in/Stage.mid"
check "--version names the project's version" test "$("$zrmpack" --version)" = "zrmpack (Quellmark) $version"
check "pack succeeds" "$zrmpack" pack "$work/game.zrm" "$work/in/Title.bmp" "$work/in/Stage.mid"
check "list prints name tab size" test "$("$zrmpack" list "$work/game.zrm")" = "$(printf 'Title.bmp\t10\nStage.mid\t4')"
check "extract succeeds" "$zrmpack" extract "$work/game.zrm" "$work/out"
check "extracted bytes match" cmp "$work/in/Title.bmp" "$work/out/Title.bmp"
check "extracted bytes match" cmp "$work/in/Stage.mid" "$work/out/Stage.mid"

refuses() { # description, expected message part, arguments...
    local what=$1 part=$2
    shift 2
    local message
    message=$("$zrmpack" "$@" 2>&1 >/dev/null)
    local status=$?
    [ "$status" -ne 0 ] || { echo "FAIL: $what exited 0"; failures=$((failures + 1)); return; }
    [[ "$message" == *"$part"* ]] || { echo "FAIL: $what: message was '$message'"; failures=$((failures + 1)); }
}
mkdir -p "$work/dup"
printf 'x' >"$work/dup/Title.bmp"
refuses "duplicate name" "duplicate" pack "$work/bad.zrm" "$work/in/Title.bmp" "$work/dup/Title.bmp"
long=$(printf 'n%.0s' $(seq 1 80))
printf 'x' >"$work/in/$long"
refuses "long name" "79 bytes" pack "$work/bad.zrm" "$work/in/$long"
refuses "missing input" "not a readable file" pack "$work/bad.zrm" "$work/in/absent"
refuses "not an archive" "not a .zrm archive" list "$work/in/Title.bmp"
refuses "usage" "usage" frobnicate
check "refusals wrote no archive" test ! -e "$work/bad.zrm"
touch "$work/file"
refuses "a folder that cannot be made" "not written" extract "$work/game.zrm" "$work/file/sub"
printf 'old' >"$work/in/Error.txt"
"$zrmpack" pack "$work/log.zrm" "$work/in/Error.txt" "$work/in/Stage.mid"
mkdir -p "$work/logout"
refuses "an entry it would not write" "warning: entry 0 (Error.txt)" extract "$work/log.zrm" "$work/logout"
check "the other entries are written" cmp "$work/in/Stage.mid" "$work/logout/Stage.mid"
printf 'sjis' >"$work/in/ソ表ポ.bmp"
check "a Japanese name packs" "$zrmpack" pack "$work/jp.zrm" "$work/in/ソ表ポ.bmp"
check "and lists in UTF-8" test "$("$zrmpack" list "$work/jp.zrm")" = "$(printf 'ソ表ポ.bmp\t4')"
mkdir -p "$work/jpout"
check "and extracts to its UTF-8 name" "$zrmpack" extract "$work/jp.zrm" "$work/jpout"
check "with its bytes" cmp "$work/in/ソ表ポ.bmp" "$work/jpout/ソ表ポ.bmp"

[ "$failures" -eq 0 ] && echo "zrmpack command line: all checks passed"
exit "$failures"
