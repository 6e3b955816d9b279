#!/usr/bin/env bash
# Makes a release of the checked-out commit into dist/ (or DIST): the Windows program, its resource
# library and archive, the players' Windows zip, the Debian package and the browser's zip, with
# SHA256SUMS; every time in them is the commit's, so the same commit gives the same bytes.
# Usage: release.sh [DIST]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
dist=$(realpath -m "${1:-dist}")
jobs=$(nproc)

if [ -z "${QUELLMARK_RELEASE_DIRTY:-}" ] && ! git diff --quiet HEAD --; then
    echo "release: the checkout has uncommitted changes; a release is made from a commit"
    echo "(QUELLMARK_RELEASE_DIRTY=1 makes one anyway, for trying the script out)"
    exit 1
fi
# The time every file of the release carries (Debian's tools and cpack read the same variable),
# and a build environment that does not differ from one machine's user to another's.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC LC_ALL=C.UTF-8
umask 022
version=$(sed -n 's/^project(Quellmark VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
echo "release: Quellmark $version of $(git rev-parse --short HEAD), dated $(date -u -d "@$SOURCE_DATE_EPOCH" '+%F %T') UTC"

step() { printf '\n=== release: %s\n' "$*"; }
step "the shipping 32-bit Windows program, its resource library and its zip"
cmake --preset windows-i686 >/dev/null
cmake --build build/windows-i686 -j "$jobs" --target Quellmark Vardo_DLL quellmark_zip
step "the Debian package"
cmake --preset native >/dev/null
cmake --build build/native -j "$jobs" --target Quellmark zrmpack game_data desktop_files
(cd build/native && cpack -G DEB >/dev/null)
step "the browser's folder and zip"
./scripts/build-web-deps.sh
cmake --preset web >/dev/null
cmake --build build/web -j "$jobs"

rm -rf "$dist"
mkdir -p "$dist"
cp build/windows-i686/bin/Quellmark.exe build/windows-i686/bin/Vardo_DLL.dll \
    build/windows-i686/bin/Quellmark.zrm "$dist/"
cp build/windows-i686/Quellmark.zip "$dist/Quellmark-$version-windows.zip"
cp "build/native/quellmark_${version}_amd64.deb" "$dist/"
cp build/web/Quellmark-web.zip "$dist/Quellmark-$version-web.zip"
(cd "$dist" && sha256sum -- * >SHA256SUMS)

step "versions"
./scripts/check-versions.sh "$dist" build/native/bin/zrmpack
step "made in $dist"
cat "$dist/SHA256SUMS"
