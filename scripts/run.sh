#!/usr/bin/env bash
# Installs what the game needs, builds the native program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build build/native --target Quellmark game_data -j "$(nproc)"
exec build/native/bin/Quellmark
