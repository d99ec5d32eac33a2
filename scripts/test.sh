#!/usr/bin/env bash
# Builds everything and runs every test: once in an optimised build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer; then the thread tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DPELM_WERROR=ON
cmake --build build -j "$JOBS"
(cd build && ctest --output-on-failure -j "$JOBS")

if [ "${PELM_SKIP_SANITIZE:-0}" != "1" ]; then
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELM_SANITIZE=ON -DPELM_BENCH=OFF
    cmake --build build-asan -j "$JOBS"
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --output-on-failure -j "$JOBS")
fi

if [ "${PELM_SKIP_TSAN:-0}" != "1" ]; then
    bash scripts/test-tsan.sh
fi
