#!/bin/bash
# Builds the magazine into build/ and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/debian-packages.sh
mag_install_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target magazine -j"${MAG_JOBS:-2}"
exec ./build/magazine
