#!/usr/bin/env bash
# Installs what the tests need, builds all three builds and runs every test: native, under the
# sanitizers with a soak run, the 64-bit Windows build under wine64, the shipping 32-bit build under
# 32-bit Wine in a virtual machine, the fuzz targets, the end-to-end runs, the browser build in
# headless Chromium, the release made twice and compared, and the installed game and its Debian
# package.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
fuzzSeconds=${QUELLMARK_FUZZ_SECONDS:-45}
soakSeconds=${QUELLMARK_SOAK_SECONDS:-120}

step() { printf '\n=== %s\n' "$*"; }

step "packages"
./scripts/install-deps.sh

step "formatting, and includes that run one way"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
./scripts/check-layering.sh

step "native build and tests"
cmake --preset native >/dev/null
cmake --build build/native -j "$jobs"
./scripts/check-layering.sh build/native
ctest --preset native -j "$jobs"
# Again on a real X server: shown windows then go through shared memory and the server's
# scaling, and the view test skipped above runs.
xvfb-run -a -s "-screen 0 1920x1080x24" env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
    build/native/bin/quellmark_tests | tail -n 3

step "platform/ as a CMake subproject of another project"
cmake -S tests/platform-consumer -B build/platform-consumer >/dev/null
cmake --build build/platform-consumer -j "$jobs"
SDL_VIDEODRIVER=dummy build/platform-consumer/consumer

step "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-sanitize >/dev/null
cmake --build build/native-sanitize -j "$jobs"
ctest --preset native-sanitize -j "$jobs"

step "soak run: the real game with random input under the sanitizers (${soakSeconds} s)"
(cd build/native-sanitize/bin && XDG_DATA_HOME=$(mktemp -d) SDL_VIDEODRIVER=dummy \
    SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16 \
    LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" QUELLMARK_SOAK_SECONDS="$soakSeconds" \
    ./quellmark_tests --gtest_filter='*RandomPlay*' | tail -n 4)

step "windows-i686 build (the shipping program), tests included"
cmake --preset windows-i686 >/dev/null
cmake --build build/windows-i686 -j "$jobs"
cmake --build build/windows-i686 --target quellmark_zip -j "$jobs"
test -f build/windows-i686/bin/Quellmark.zrm
test "$(unzip -Z1 build/windows-i686/Quellmark.zip | sort | tr '\n' ' ')" = "Quellmark.exe Quellmark.zrm README.txt "
./scripts/check-windows-binary.sh build/windows-i686/bin/Quellmark.exe i386
file build/windows-i686/bin/Vardo_DLL.dll | grep -q 'PE32 executable (DLL)'

step "windows-x64 build and its tests under wine64"
cmake --preset windows-x64 >/dev/null
cmake --build build/windows-x64 -j "$jobs"
./scripts/check-windows-binary.sh build/windows-x64/bin/Quellmark.exe x86-64
./scripts/wine-run.sh build/windows-x64/bin/quellmark_tests.exe

step "the shipping 32-bit build under 32-bit Wine in a virtual machine: tests, zip end to end"
# The Wine prefix is made once and kept in build/windows-i686/vm (a clean checkout makes it anew).
scripts/vm-run.sh -t 780 -o build/windows-i686/vm tests/e2e/vm-i686.sh build/windows-i686 \
    build/windows-i686/vm

step "fuzzing: archive, BMP, MIDI, paths (${fuzzSeconds} s each)"
cmake --preset fuzz >/dev/null
cmake --build build/fuzz --target fuzz_volumefile fuzz_bmp fuzz_midi fuzz_paths -j "$jobs"
tests/fuzz/run.sh "$fuzzSeconds"

step "end-to-end runs of the native program and of the Windows build under wine64 (Xvfb)"
tests/e2e/smoke.sh "$root/build/native/bin/Quellmark" "$root/build/native/artifacts"
tests/e2e/mixer.sh "$root/build/native/bin/Quellmark"
# The Windows build as players get it: its zip unpacked into an empty folder.
cmake --build build/windows-x64 --target quellmark_zip -j "$jobs"
unpacked=$(mktemp -d)
unzip -q build/windows-x64/Quellmark.zip -d "$unpacked"
tests/e2e/wine-smoke.sh "$unpacked" "$root/build/windows-x64/artifacts" || {
    status=$?
    [ "$status" -eq 3 ] || exit "$status"
    echo "wine64 crashed on its own after the game's Esc; the case runs once more"
    tests/e2e/wine-smoke.sh "$unpacked" "$root/build/windows-x64/artifacts"
}

step "the browser build, played in headless Chromium"
web_started=$(date +%s)
./scripts/build-web-deps.sh
cmake --preset web >/dev/null
cmake --build build/web -j "$jobs"
test "$(unzip -Z1 build/web/Quellmark-web.zip | grep -c '^licences/')" -eq 7
node tests/e2e/web.mjs build/web/site build/web/artifacts
echo "the browser's stage took $(($(date +%s) - web_started)) s"

step "the release, made twice from the commit at two paths: the same bytes and one version"
release_started=$(date +%s)
./scripts/check-reproducible.sh build/reproducible
echo "the release's stage took $(($(date +%s) - release_started)) s"

step "installing: cmake --install and the Debian package, validated and run from their launchers"
tests/e2e/install.sh "$root/build/native" "$root/build/native/artifacts/install"

step "benchmarks (figures only)"
./scripts/bench-graphics.sh
./scripts/bench-cpu.sh
SDL_AUDIODRIVER=dummy build/native/bin/bench_music
echo "bench_game, shown by the layer's own copy (SDL's dummy video, as on Wayland):"
XDG_DATA_HOME=$(mktemp -d) XDG_CONFIG_HOME=$(mktemp -d) SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy build/native/bin/bench_game
echo "bench_game on a 1920 x 1080 X server (shared memory, the server scales):"
XDG_DATA_HOME=$(mktemp -d) XDG_CONFIG_HOME=$(mktemp -d) xvfb-run -a -s "-screen 0 1920x1080x24" \
    env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy build/native/bin/bench_game
build/native/bin/bench_archive
echo "the browser build in headless Chromium:"
node tests/bench/web.mjs build/web/site

step "all tests passed"
