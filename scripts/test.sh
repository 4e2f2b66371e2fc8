#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the Debian package, then the whole
# suite again under AddressSanitizer + UndefinedBehaviorSanitizer (clang), then each fuzz
# target briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/cups-start.sh
trap scripts/cups-stop.sh EXIT
jobs=$(nproc)
stage() { echo; echo "=== $1 ($(date +%T))"; }

stage "normal build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
stage "tests"
ctest --test-dir build --output-on-failure -j"$jobs"
stage "Debian package (cpack, dpkg-deb checks, lintian)"
BUILD=build scripts/package.sh

stage "sanitizer build (clang, ASan + UBSan, fuzz targets)"
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DLEDORA_SANITIZE=ON \
    -DLEDORA_FUZZ=ON -DLEDORA_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
stage "tests under sanitizers"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"

if [ -x scripts/fuzz.sh ]; then
    stage "fuzz targets, short run"
    FUZZ_BUILD=build-asan scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
fi
stage "done"
