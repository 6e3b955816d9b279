#!/usr/bin/env bash
# Builds the browser build and serves its folder on 127.0.0.1 for playing in a browser.
# Usage: run-web.sh [PORT]   (Ctrl+C stops the server)
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8080}
./scripts/build-web-deps.sh
cmake --preset web >/dev/null
cmake --build build/web -j "$(nproc)"
echo "run-web: open http://127.0.0.1:$port/ in a browser"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/site
