#!/bin/bash
# Builds everything and runs every test twice: a normal build in build/, then one
# with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/ (any
# sanitizer report fails the run).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/debian-packages.sh
mag_install_packages xvfb xdotool x11-apps acme
jobs="${MAG_JOBS:-2}"

echo "== normal build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build -j"$jobs" --output-on-failure --timeout 600

echo "== sanitizer build"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DMAG_SANITIZE=ON -DMAG_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-sanitize -j"$jobs" --output-on-failure --timeout 900

for extra in scripts/ci-extra/*.sh; do
  [ -e "$extra" ] || continue
  echo "== $extra"
  bash "$extra"
done
echo "All tests passed."
