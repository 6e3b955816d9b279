#!/usr/bin/env bash
# Makes the release of the checked-out commit twice, here (into dist/) and in a fresh copy of the
# commit at another path, and checks that every artifact is the same byte for byte; diffoscope
# shows what differs if one is not.
# The copy shares only what the build takes as installed: the browser's SDL2, freetype and SDL2_ttf
# (build/web-deps) and the npm packages.
# Usage: check-reproducible.sh [WORK]   (WORK keeps the copy, its release and any report)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(realpath -m "${1:-$(mktemp -d)}")
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

./scripts/release.sh "$root/dist"

# Another path, of another length, as Debian's checks vary the build path.
copy=$work/elsewhere/a-second-build/quellmark
rm -rf "$copy"
git clone -q --no-hardlinks "$root" "$copy"
git -C "$copy" checkout -q --detach "$(git rev-parse HEAD)"
mkdir -p "$copy/build"
ln -s "$root/build/web-deps" "$copy/build/web-deps"
ln -s "$root/node_modules" "$copy/node_modules"
started=$(date +%s)
"$copy/scripts/release.sh" "$work/dist" >"$work/second-build.log" 2>&1 || {
    tail -n 30 "$work/second-build.log"
    echo "check-reproducible: the second build failed (log: $work/second-build.log)"
    exit 1
}
echo "check-reproducible: the second build, in $copy, took $(($(date +%s) - started)) s"

# The files' contents and names are compared; their times on this disk are not part of them.
if diffoscope --no-progress --exclude-directory-metadata=recursive --text "$work/diffoscope.txt" \
    "$root/dist" "$work/dist"; then
    echo "check-reproducible: all $(ls "$root/dist" | wc -l) files of both releases are the same:"
    (cd "$work/dist" && sha256sum --check --quiet "$root/dist/SHA256SUMS" && ls)
else
    head -n 60 "$work/diffoscope.txt"
    echo "check-reproducible: the two builds differ (diffoscope's whole report: $work/diffoscope.txt)"
    exit 1
fi
