#!/usr/bin/env bash
# Builds Velmora and runs every test suite. With VELMORA_SANITIZE_RUN=1 (CI sets it) the headless
# suites are also built and run under AddressSanitizer and UndefinedBehaviorSanitizer, and with
# VELMORA_FUZZ_RUN=1 each fuzzer runs about 30 s on its seed corpus (a fixed seed and run count, so
# the result repeats: scripts/fuzz.sh --ci).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

if [ "${VELMORA_SANITIZE_RUN:-0}" = "1" ]; then
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_GUI=OFF
    cmake --build build-asan -j "$jobs"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j "$jobs"
fi

if [ "${VELMORA_FUZZ_RUN:-0}" = "1" ]; then
    scripts/fuzz.sh --ci
fi
