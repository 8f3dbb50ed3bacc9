#!/bin/bash
# Builds the magazine for web browsers with Debian's Emscripten:
#   build-web/index.html, magazine.js, magazine.wasm, wave_sink.js
# a folder of static files that any web server can host, for example
#   python3 -m http.server --directory build-web 8000     (then open http://localhost:8000/)
# The content tools (embedfile, issuecheck, issuepack) are built natively first in
# build/ (or MAG_HOST_BUILD) and pack the issue for the browser build.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/debian-packages.sh
mag_install_packages emscripten
jobs="${MAG_JOBS:-2}"
host="${MAG_HOST_BUILD:-build}"

# Debian's Emscripten takes its JavaScript modules from Debian's node folder,
# whichever node comes first on PATH.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
# Its cache holds the system libraries, prebuilt; where we may not write there,
# a cache of our own is filled once (slow the first time).
if [ -z "${EM_CACHE:-}" ] && [ ! -w /usr/share/emscripten/cache ]; then
  export EM_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/orvella-emscripten" EM_FROZEN_CACHE=   # empty: not frozen
fi

echo "== host tools in $host/"
cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$host" -j"$jobs" --target embedfile issuecheck issuepack

echo "== web build in build-web/"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DMAG_TESTS=OFF -DMAG_BENCH=OFF \
  -DMAG_HOST_TOOLS="$PWD/$host" >/dev/null
cmake --build build-web -j"$jobs" --target magazine "$@"

download=0
for file in index.html magazine.js magazine.wasm wave_sink.js; do
  download=$((download + $(gzip -9 -c "build-web/$file" | wc -c)))
done
echo "built: build-web/index.html magazine.js magazine.wasm wave_sink.js ($((download / 1024)) KiB to download, gzipped)"
