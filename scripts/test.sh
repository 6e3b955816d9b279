#!/usr/bin/env bash
# Installs what the tests need, builds all three builds and runs every test: native, under the
# sanitizers, the Windows build under wine64, the archive fuzzer and the end-to-end run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
fuzzSeconds=${QUELLMARK_FUZZ_SECONDS:-60}
seed=0

step() { printf '\n=== %s\n' "$*"; }

step "packages"
./scripts/install-deps.sh

step "formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

step "native build and tests"
cmake --preset native >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

step "platform/ as a CMake subproject of another project"
cmake -S tests/platform-consumer -B build/platform-consumer >/dev/null
cmake --build build/platform-consumer -j "$jobs"
SDL_VIDEODRIVER=dummy build/platform-consumer/consumer

step "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-sanitize >/dev/null
cmake --build build/native-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" ctest --test-dir build/native-sanitize --output-on-failure -j "$jobs"

step "windows-i686 build (the shipping program)"
cmake --preset windows-i686 >/dev/null
cmake --build build/windows-i686 --target Quellmark Vardo_DLL game_data -j "$jobs"
test -f build/windows-i686/bin/Quellmark.zrm
./scripts/check-windows-binary.sh build/windows-i686/bin/Quellmark.exe i386
file build/windows-i686/bin/Vardo_DLL.dll | grep -q 'PE32 executable (DLL)'

step "windows-x64 build and its tests under wine64"
cmake --preset windows-x64 >/dev/null
cmake --build build/windows-x64 -j "$jobs"
./scripts/check-windows-binary.sh build/windows-x64/bin/Quellmark.exe x86-64
./scripts/wine-run.sh build/windows-x64/bin/quellmark_tests.exe

step "archive, BMP and MIDI reader fuzzing (${fuzzSeconds} s each)"
cmake --preset fuzz >/dev/null
cmake --build build/fuzz --target fuzz_volumefile fuzz_bmp fuzz_midi -j "$jobs"
corpus=build/fuzz/corpus
rm -rf "$corpus" && mkdir -p "$corpus" build/fuzz/seed-files
printf 'BM' >build/fuzz/seed-files/Title.bmp
printf 'MThd\0\0\0\6' >build/fuzz/seed-files/Stage.mid
: >build/fuzz/seed-files/Empty.dat
build/native/bin/zrmpack pack "$corpus/two.zrm" build/fuzz/seed-files/Title.bmp build/fuzz/seed-files/Stage.mid
build/native/bin/zrmpack pack "$corpus/three.zrm" build/fuzz/seed-files/*
build/fuzz/bin/fuzz_volumefile -max_total_time="$fuzzSeconds" -max_len=4096 -print_final_stats=1 \
    "$corpus" 2>&1 | tail -n 12

bmpCorpus=build/fuzz/bmp-corpus
rm -rf "$bmpCorpus" && mkdir -p "$bmpCorpus"
for options in "-monochrome" "-colors 12 -type palette -compress none" \
    "-colors 200 -type palette -compress none" "-define bmp:subtype=RGB565" "" "-alpha set"; do
    # shellcheck disable=SC2086
    convert -size 9x7 gradient:red-blue $options "$bmpCorpus/seed$((++seed)).bmp"
done
build/fuzz/bin/fuzz_bmp -max_total_time="$fuzzSeconds" -max_len=8192 -print_final_stats=1 \
    "$bmpCorpus" 2>&1 | tail -n 5

midiCorpus=build/fuzz/midi-corpus
rm -rf "$midiCorpus" && mkdir -p "$midiCorpus"
printf 'X:1\nT:Seed\nM:4/4\nL:1/8\nK:G\nGABc dedB|c2e2 d4|\n' >"$midiCorpus/seed.abc"
(cd "$midiCorpus" && abc2midi seed.abc -o seed.mid >/dev/null && rm seed.abc)
SDL_AUDIODRIVER=dummy build/fuzz/bin/fuzz_midi -max_total_time="$fuzzSeconds" -max_len=4096 \
    -print_final_stats=1 "$midiCorpus" 2>&1 | tail -n 5

step "end-to-end runs of the native program and of the Windows build under wine64 (Xvfb)"
tests/e2e/smoke.sh "$root/build/native/bin/Quellmark" "$root/build/native/artifacts"
tests/e2e/wine-smoke.sh "$root/build/windows-x64/bin" "$root/build/windows-x64/artifacts"

step "benchmarks (figures only)"
./scripts/bench-graphics.sh
SDL_AUDIODRIVER=dummy build/native/bin/bench_music
XDG_DATA_HOME=$(mktemp -d) SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy build/native/bin/bench_game
build/native/bin/bench_archive

step "all tests passed"
