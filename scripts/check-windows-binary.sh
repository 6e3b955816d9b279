#!/usr/bin/env bash
# Checks that a Windows build produced a GUI program for the expected machine that imports the
# real Windows libraries. Usage: check-windows-binary.sh FILE.exe i386|x86-64
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
echo "$exe: $description; imports $imports"
