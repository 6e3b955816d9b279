#!/usr/bin/env bash
# The game as a Linux user installs it: cmake --install into a temporary prefix and the Debian
# package from cpack, each started through its quellmark launcher from another folder under Xvfb
# (title, a click into the stage, Esc; SIGTERM), with the desktop entry and AppStream metadata
# validated, the package's control fields and files checked and the package passed by lintian.
# Usage: install.sh BUILD_DIR ARTIFACT_DIR
set -euo pipefail
build=$(realpath "$1")
artifacts=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts"
fail() {
    echo "FAIL: $*"
    exit 1
}
id=io.github.quellmark.Quellmark

cmake --install "$build" --prefix "$work/prefix" >/dev/null
desktop-file-validate "$work/prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$work/prefix/share/metainfo/$id.metainfo.xml"
for size in 32 48 64 128 256; do
    [ "$(identify -format '%wx%h' "$work/prefix/share/icons/hicolor/${size}x$size/apps/quellmark.png")" = "${size}x$size" ] ||
        fail "no $size-pixel icon"
done
cd "$work"
sleep 1 && touch "$work/installed"
QUELLMARK_E2E_INSTALLED=1 "$here/smoke.sh" "$work/prefix/bin/quellmark" "$artifacts/installed"
written=$(find "$work/prefix" -newer "$work/installed")
[ -z "$written" ] || fail "the game wrote beside its installed files: $written"

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/quellmark_*_amd64.deb)
fields=$(dpkg-deb -f "$deb")
echo "$fields"
for need in "Package: quellmark" "Section: games" libsdl2-2.0-0 libsdl2-ttf-2.0-0 libfluidsynth3 \
    libfontconfig1 timgm6mb-soundfont fonts-ipafont-gothic fonts-ipafont-mincho; do
    grep -q "$need" <<<"$fields" || fail "the package's control fields lack $need"
done
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for need in ./usr/games/quellmark ./usr/lib/games/quellmark/Quellmark \
    ./usr/lib/games/quellmark/Quellmark.zrm "./usr/share/applications/$id.desktop" \
    "./usr/share/metainfo/$id.metainfo.xml" ./usr/share/man/man6/quellmark.6.gz \
    ./usr/share/doc/quellmark/copyright ./usr/share/doc/quellmark/changelog.gz \
    ./usr/share/icons/hicolor/256x256/apps/quellmark.png; do
    grep -qx "$need" <<<"$files" || fail "the package lacks $need"
done
# Debian's package checker: no error and no warning (informational tags are printed).
lintian --info "$deb" 2>/dev/null | tee "$artifacts/lintian.txt"
! grep -qE '^[EW]:' "$artifacts/lintian.txt" || fail "lintian reports errors or warnings"
dpkg-deb -x "$deb" "$work/unpacked"
QUELLMARK_E2E_INSTALLED=1 "$here/smoke.sh" "$work/unpacked/usr/games/quellmark" "$artifacts/deb"
cp "$deb" "$artifacts/"
echo "install: cmake --install and the Debian package both run from their launcher"
