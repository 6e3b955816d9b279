#!/usr/bin/env bash
# Makes each fuzz target's seed files and runs every target for a bounded time.
# Usage: tests/fuzz/run.sh SECONDS (run from the source folder, after the fuzz and native builds).
set -euo pipefail
seconds=${1:-60}
fuzz=build/fuzz/bin
seeds=build/fuzz/seeds
rm -rf "$seeds" && mkdir -p "$seeds"/{archive,bmp,midi,paths} "$seeds/files"

# Archives: two small ones packed by the real packer.
printf 'BM' >"$seeds/files/Title.bmp"
printf 'MThd\0\0\0\6' >"$seeds/files/Stage.mid"
: >"$seeds/files/Empty.dat"
build/native/bin/zrmpack pack "$seeds/archive/two.zrm" "$seeds/files/Title.bmp" "$seeds/files/Stage.mid"
build/native/bin/zrmpack pack "$seeds/archive/three.zrm" "$seeds"/files/*

# BMP files in every format ImageMagick writes.
seed=0
for options in "-monochrome" "-colors 12 -type palette -compress none" \
    "-colors 200 -type palette -compress none" "-define bmp:subtype=RGB565" "" "-alpha set"; do
    # shellcheck disable=SC2086
    convert -size 9x7 gradient:red-blue $options "$seeds/bmp/seed$((++seed)).bmp"
done

# A MIDI file written by another program.
printf 'X:1\nT:Seed\nM:4/4\nL:1/8\nK:G\nGABc dedB|c2e2 d4|\n' >"$seeds/midi/seed.abc"
(cd "$seeds/midi" && abc2midi seed.abc -o seed.mid >/dev/null && rm seed.abc)


# Paths: plain, double-byte (trail bytes 0x5C and 0x7C), "..", drive letters, rooted.
printf 'name' >"$seeds/paths/plain"
printf '\x83\x5c\x95\x5c\\\x83\x7c' >"$seeds/paths/sjis"
printf '..\\up' >"$seeds/paths/parent"
printf 'C:\\x' >"$seeds/paths/drive"
printf 'Z:\\tmp\\x' >"$seeds/paths/rooted"

run() { # target, seed folder, longest input; an input slower than 2 s is a failure
    echo "--- $1"
    SDL_AUDIODRIVER=dummy LSAN_OPTIONS=suppressions="$(pwd)/tests/lsan.supp" "$fuzz/$1" -max_total_time="$seconds" -max_len="$3" -timeout=2 \
        -artifact_prefix="$(pwd)/build/fuzz/$1-" -print_final_stats=1 "$2" 2>&1 | tail -n 6
}
run fuzz_volumefile "$seeds/archive" 4096
run fuzz_bmp "$seeds/bmp" 8192
run fuzz_midi "$seeds/midi" 4096
run fuzz_paths "$seeds/paths" 300
