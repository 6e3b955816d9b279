#!/usr/bin/env bash
# The shipping 32-bit build under 32-bit Wine, run inside scripts/vm-run.sh's machine: its tests,
# its zip end to end with a sound device, and its start-up without one (English locale).
# Usage (from the source folder): scripts/vm-run.sh -o OUT tests/e2e/vm-i686.sh BUILD OUT [FILTER]
#   BUILD   the windows-i686 build folder (bin/ and Quellmark.zip); read-only inside the machine
#   OUT     the machine's writable folder: screenshots, timings, and the Wine prefix kept between
#           runs (wineprefix-i686.tar.gz; delete it to make a new one)
#   FILTER  the tests to run (a --gtest_filter; all of them unless given)
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
out=$2
filter=${3:-*}
mkdir -p "$out"
export WINE=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX=/root/wine32 WINEARCH=win32 WINEDEBUG=-all
# An English system: the ANSI code page is 1252, so code page 932 text shown as such is mojibake.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
started=$(date +%s)
mark() { echo "vm-i686: $* at $(($(date +%s) - started)) s" | tee -a "$out/timings.txt"; }
: >"$out/timings.txt"

# The Wine prefix, with the CPU renderer for DirectDraw (exact stretches) and a Japanese font
# linked behind the dialog font, as every Windows since Vista has one, so that Japanese text in
# message boxes shows its glyphs.
prefixCache=$out/wineprefix-i686.tar.gz
if [ -f "$prefixCache" ]; then
    mkdir -p "$WINEPREFIX" && tar -xzf "$prefixCache" -C "$WINEPREFIX"
    mark "prefix unpacked"
else
    xvfb-run -a -s "-screen 0 800x600x24" sh -c '
        WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" wineboot -i &&
        "$WINE" reg add "HKCU\\Software\\Wine\\Direct3D" /v renderer /t REG_SZ /d gdi /f &&
        for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
            "$WINE" reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink" \
                /v "$face" /t REG_MULTI_SZ /d "ipag.ttf,IPAGothic" /f || exit 1
        done &&
        "$WINESERVER" -w' >"$out/wineboot.log" 2>&1 || {
        tail -n 20 "$out/wineboot.log"
        echo "vm-i686: making the Wine prefix failed"
        exit 1
    }
    tar -czf "$prefixCache.part" -C "$WINEPREFIX" . && mv "$prefixCache.part" "$prefixCache"
    mark "prefix made"
fi

# The tests, from a writable copy of the program folder.
tests=$(mktemp -d)
cp "$build"/bin/quellmark_tests.exe "$build"/bin/Vardo_DLL.dll "$tests/"
status=0
(cd "$tests" && xvfb-run -a -s "-screen 0 800x600x24" sh -c \
    '"$WINE" quellmark_tests.exe --gtest_filter="$1"; status=$?; "$WINESERVER" -w; exit $status' \
    tests "$filter") >"$out/tests.log" 2>&1 || status=$?
grep -E '^\[  (PASSED|FAILED) |^\[==========\]' "$out/tests.log" | tail -n 4 || true
grep -E '^\[  FAILED  \]' "$out/tests.log" || true
mark "tests ended ($status)"
[ "$status" -eq 0 ] || exit 1

# The zip as players get it, unpacked into an empty folder: with a sound device, then without.
for audio in pulse none; do
    unpacked=$(mktemp -d)
    (cd "$unpacked" && unzip -q "$build/Quellmark.zip")
    QUELLMARK_E2E_AUDIO=$audio "$source/tests/e2e/wine-smoke.sh" "$unpacked" "$out/$audio"
    mark "end to end with audio $audio passed"
done
