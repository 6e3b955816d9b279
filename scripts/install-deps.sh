#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the game needs; safe to run again.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config git
  # Windows builds
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  # native platform layer
  libsdl2-dev libsdl2-ttf-dev libfluidsynth-dev fluidsynth timgm6mb-soundfont
  libfontconfig-dev fontconfig fonts-ipafont-gothic fonts-ipafont-mincho libx11-dev libxext-dev libxrender-dev
  # tests
  googletest libgtest-dev xvfb xauth xdotool openbox imagemagick wine64 clang libclang-rt-14-dev abcmidi pulseaudio lintian
  file clang-format unzip x11-utils
  # packaging: cpack's Debian package and the validators of its desktop files
  dpkg-dev desktop-file-utils appstream
  # releases: two builds of one commit compared (scripts/check-reproducible.sh)
  diffoscope
  # the shipping 32-bit build: its resources checked, and run under 32-bit Wine in a virtual
  # machine (scripts/vm-run.sh; it fetches Debian's kernel package itself)
  icoutils qemu-system-x86 busybox-static cpio xz-utils wine32:i386
  # the browser build (its SDL2, freetype and SDL2_ttf are built from Debian's sources by
  # scripts/build-web-deps.sh) and its tests in headless Chromium
  emscripten ninja-build fonttools chromium
)

# 32-bit Wine comes from Debian's i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
else
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "install-deps: installing ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The browser build's npm packages, at the versions package-lock.json pins.
cd "$(dirname "$0")/.."
if ! cmp -s package-lock.json node_modules/.installed-lock.json; then
  npm ci --no-audit --no-fund --loglevel=error
  cp package-lock.json node_modules/.installed-lock.json
fi
