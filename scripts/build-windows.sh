#!/bin/bash
# Builds the Windows programs on Debian with mingw-w64:
#   build-windows/magazine.exe, build-windows/xmrender.exe, build-windows/sidrender.exe
# and the tests that run under Wine (scripts/ci-extra/windows.sh runs them).
# The content tools (embedfile, issuecheck, issuepack) are built natively first in
# build/ (or MAG_HOST_BUILD) and pack the issue for the cross build.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/debian-packages.sh
mag_install_packages g++-mingw-w64-x86-64-posix googletest
jobs="${MAG_JOBS:-2}"
host="${MAG_HOST_BUILD:-build}"

echo "== host tools in $host/"
cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$host" -j"$jobs" --target embedfile issuecheck issuepack

echo "== Windows build in build-windows/"
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMAG_HOST_TOOLS="$PWD/$host" >/dev/null
cmake --build build-windows -j"$jobs" "$@"
echo "built: build-windows/magazine.exe build-windows/xmrender.exe build-windows/sidrender.exe"
