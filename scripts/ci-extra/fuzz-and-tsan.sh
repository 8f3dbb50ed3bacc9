#!/bin/bash
# The music players' extra checks: the two libFuzzer targets build with clang
# under ASan and UBSan and run a short while over their seed corpora; the start, stop
# and switching tests run under ThreadSanitizer (tests/fuzz_xm/README.md,
# tests/xm/TSAN.md). Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/debian-packages.sh
mag_install_packages clang
jobs="${MAG_JOBS:-2}"

echo "-- fuzz_xm (clang, ASan + UBSan)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DMAG_FUZZ=ON -DMAG_SANITIZE=ON -DMAG_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target fuzz_xm fuzz_xm_seeds fuzz_sid -j"$jobs"
seeds=$(mktemp -d)
corpus=$(mktemp -d)
build-fuzz/fuzz_xm_seeds "$seeds"
cp assets/modules/*.xm "$seeds"/
build-fuzz/fuzz_xm -runs=3000 -timeout=10 -rss_limit_mb=2048 "$corpus" tests/fuzz_xm/corpus "$seeds"
rm -rf "$seeds" "$corpus"

echo "-- fuzz_sid (clang, ASan + UBSan)"
corpus=$(mktemp -d)
build-fuzz/fuzz_sid -runs=300 -timeout=10 "$corpus" tests/fuzz_sid/corpus tests/fuzz_sid/regressions \
  tests/fuzz_sid/seeds assets/tunes
rm -rf "$corpus"

echo "-- XM and SID threads under ThreadSanitizer"
cmake -S . -B build-tsan -DMAG_TSAN=ON -DMAG_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-tsan --target xm_thread_tests xm_output_tests sid_thread_tests -j"$jobs"
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/xm_thread_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/xm_output_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/sid_thread_tests
