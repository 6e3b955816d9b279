#!/usr/bin/env bash
# Checks that a Windows build produced a GUI program for the expected machine that imports the
# real Windows libraries and carries its resources: icon 101 in four sizes, the application
# manifest (DPI aware; no compatibility section, no requestedExecutionLevel) and the version.
# Usage: check-windows-binary.sh FILE.exe i386|x86-64
set -euo pipefail
exe=$1
machine=$2
description=$(file -b "$exe")
case "$machine" in
i386) [[ "$description" == *"PE32 executable (GUI) Intel 80386"* ]] ;;
x86-64) [[ "$description" == *"PE32+ executable (GUI) x86-64"* ]] ;;
esac || { echo "unexpected file type: $description"; exit 1; }
objdump=$([ "$machine" = i386 ] && echo i686-w64-mingw32-objdump || echo x86_64-w64-mingw32-objdump)
imports=$($objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u | tr '\n' ' ')
for dll in user32.dll kernel32.dll; do
    [[ " $imports" == *" $dll "* ]] || { echo "$exe does not import $dll (imports: $imports)"; exit 1; }
done
for dll in libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll; do
    [[ " $imports" != *" $dll "* ]] || { echo "$exe needs $dll at run time"; exit 1; }
done
fail() {
    echo "$exe: $*"
    exit 1
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
wrestool -x --type=14 --name=101 "$exe" -o "$scratch/icon.ico" || fail "no icon 101"
icons=$(icotool -l "$scratch/icon.ico" | sed 's/--icon --index=[0-9]* //' | tr '\n' ';')
[ "$icons" = "--width=32 --height=32 --bit-depth=4 --palette-size=16;--width=16 --height=16 --bit-depth=32 --palette-size=0;--width=48 --height=48 --bit-depth=32 --palette-size=0;--width=256 --height=256 --bit-depth=32 --palette-size=0;" ] ||
    fail "icon 101 is not 32 x 32 in 16 colours, then 16, 48 and 256 in full colour: $icons"
manifest=$(wrestool -x --raw --type=24 --name=1 "$exe")
! grep -q '<compatibility' <<<"$manifest" ||
    fail "the manifest has a compatibility section (Windows 7 and later then refuse Blts to a primary without a clipper)"
grep -q '<dpiAware[^>]*>true</dpiAware>' <<<"$manifest" ||
    fail "the manifest does not declare the program DPI aware"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest" ||
    fail "the manifest does not ask for Common Controls 6"
! grep -q '<requestedExecutionLevel' <<<"$manifest" ||
    fail "the manifest states an execution level, which turns off file virtualization"
version=$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 -c | tr -c '[:print:]' ' ')
for text in "ProductName Quellmark" "FileVersion " "OriginalFilename Quellmark.exe" "FileDescription Quellmark"; do
    tr -s ' ' <<<"$version" | grep -q "$text" || fail "the version lacks \"$text\""
done
echo "$exe: $description; imports $imports; icon, manifest and version present"
