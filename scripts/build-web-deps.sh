#!/usr/bin/env bash
# Builds the browser's SDL2, freetype and SDL2_ttf from Debian's own source packages with
# emscripten, once, into build/web-deps/prefix (emscripten's ports download from the internet).
# Usage: build-web-deps.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
deps=$root/build/web-deps
prefix=$deps/prefix
if [ -f "$prefix/.complete" ]; then
    echo "build-web-deps: $prefix is built"
    exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
# Debian's sources, from the same archive as its binaries.
if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
    $sudo apt-get update -q
fi
mkdir -p "$deps/src"
cd "$deps/src"
[ -d "$(ls -d libsdl2-2* 2>/dev/null | head -1)" ] || apt-get source -q libsdl2 >/dev/null
[ -d "$(ls -d freetype-2* 2>/dev/null | head -1)" ] || apt-get source -q freetype >/dev/null
[ -d "$(ls -d libsdl2-ttf-2* 2>/dev/null | head -1)" ] || apt-get source -q libsdl2-ttf >/dev/null
export NODE_PATH=/usr/share/nodejs
common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF)
build() { # build NAME SOURCE OPTIONS...
    local name=$1 source=$2
    shift 2
    echo "build-web-deps: $name"
    emcmake cmake -S "$source" -B "$deps/build-$name" "${common[@]}" "$@" >"$deps/$name.log" 2>&1
    cmake --build "$deps/build-$name" >>"$deps/$name.log" 2>&1
    cmake --install "$deps/build-$name" >>"$deps/$name.log" 2>&1
}
build sdl2 "$(ls -d "$deps"/src/libsdl2-2*/ | head -1)" -DSDL_SHARED=OFF -DSDL_STATIC=ON \
    -DSDL_TEST=OFF
build freetype "$(ls -d "$deps"/src/freetype-2*/ | head -1)" -DFT_DISABLE_ZLIB=ON \
    -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
build sdl2-ttf "$(ls -d "$deps"/src/libsdl2-ttf-2*/ | head -1)" -DSDL2TTF_SAMPLES=OFF \
    -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DBUILD_SHARED_LIBS=OFF
touch "$prefix/.complete"
echo "build-web-deps: built into $prefix"
