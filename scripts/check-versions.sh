#!/usr/bin/env bash
# Checks that every artifact of a release shows the one version of CMakeLists.txt: the exe's
# VERSIONINFO (numbers and texts) and manifest, the Debian package with its changelog, manual page
# and AppStream release, the web page, and zrmpack --version.
# Usage: check-versions.sh DIST ZRMPACK   (DIST as scripts/release.sh makes it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$1
zrmpack=$2
version=$(sed -n 's/^project(Quellmark VERSION \([0-9]*\.[0-9]*\.[0-9]*\) .*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "check-versions: no project(Quellmark VERSION x.y.z ...) in CMakeLists.txt"; exit 1; }
failures=0
expect() { # expect WHAT SHOWN
    if [ "$2" = "$version" ]; then
        printf '  %-44s %s\n' "$1" "$2"
    else
        printf '  %-44s %s  <- not %s\n' "$1" "${2:-(none)}" "$version"
        failures=$((failures + 1))
    fi
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
echo "check-versions: $version (CMakeLists.txt)"

exe=$dist/Quellmark.exe
wrestool -x --raw --type=16 "$exe" >"$scratch/version.bin"
# VS_FIXEDFILEINFO follows its signature 0xFEEF04BD: file, then product version, as four words.
read -r fileNumbers productNumbers < <(python3 - "$scratch/version.bin" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
ms, ls, pms, pls = struct.unpack("<4I", data[at + 8:at + 24]) if at >= 0 else (0, 0, 0, 0)
words = lambda high, low: f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"
print(words(ms, ls), words(pms, pls))
EOF
)
expect "Quellmark.exe FILEVERSION" "${fileNumbers%.0}"
expect "Quellmark.exe PRODUCTVERSION" "${productNumbers%.0}"
texts=$(iconv -f UTF-16LE -t UTF-8 -c <"$scratch/version.bin" | tr -c '[:print:]' '\n' | grep -v '^$')
for name in FileVersion ProductVersion; do
    expect "Quellmark.exe $name" "$(grep -A1 -x "$name" <<<"$texts" | sed -n 2p)"
done
manifestVersion=$(wrestool -x --raw --type=24 --name=1 "$exe" | tr '\n' ' ' |
    sed -n 's/.*<assemblyIdentity type="win32" name="Quellmark" version="\([0-9.]*\)".*/\1/p')
expect "Quellmark.exe manifest" "${manifestVersion%.0}"

debs=("$dist"/quellmark_*_amd64.deb)
deb=${debs[0]}
expect "the .deb's Version" "$(dpkg-deb -f "$deb" Version)"
expect "the .deb's file name" "$(basename "$deb" | sed 's/^quellmark_\(.*\)_amd64\.deb$/\1/')"
dpkg-deb -x "$deb" "$scratch/deb"
expect "its changelog's newest entry" "$(zcat "$scratch/deb/usr/share/doc/quellmark/changelog.gz" |
    sed -n '1s/^quellmark (\([^)]*\)).*/\1/p')"
expect "its manual page" "$(zcat "$scratch/deb/usr/share/man/man6/quellmark.6.gz" |
    sed -n 's/^\.TH QUELLMARK 6 [^ ]* "Quellmark \([^"]*\)".*/\1/p')"
expect "its AppStream metadata's newest release" "$(tr '\n' ' ' \
    <"$scratch"/deb/usr/share/metainfo/*.metainfo.xml |
    sed -n 's/.*<releases> *<release version="\([^"]*\)".*/\1/p')"

webs=("$dist"/Quellmark-*-web.zip)
unzip -q "${webs[0]}" index.html -d "$scratch/web"
expect "the web page" "$(sed -n 's|.*<div>Quellmark \([^<]*\)</div>.*|\1|p' "$scratch/web/index.html")"
expect "the web zip's file name" "$(basename "${webs[0]}" | sed 's/^Quellmark-\(.*\)-web\.zip$/\1/')"
windows=("$dist"/Quellmark-*-windows.zip)
expect "the Windows zip's file name" "$(basename "${windows[0]}" | sed 's/^Quellmark-\(.*\)-windows\.zip$/\1/')"
expect "zrmpack --version" "$("$zrmpack" --version | sed -n 's/^zrmpack (Quellmark) //p')"

if [ "$failures" -ne 0 ]; then
    echo "check-versions: $failures of the above do not show $version"
    exit 1
fi
echo "check-versions: all show $version"
