#!/usr/bin/env bash
# Builds Velmora and runs every test suite. With VELMORA_SANITIZE_RUN=1 (CI sets it) every suite is
# also built and run under AddressSanitizer and UndefinedBehaviorSanitizer (the window offscreen, as
# always), and the headless suites whose code runs threads under ThreadSanitizer. With VELMORA_FUZZ_RUN=1 each
# fuzzer runs about 30 s on its seed corpus (a fixed seed and run count, so the result repeats:
# scripts/fuzz.sh --ci).
#
# Tests that need the real-world corpus look for it in ../shared/corpus/real, or in
# $VELMORA_SHARED_DIR/corpus/real, and are skipped without it.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

if [ "${VELMORA_SANITIZE_RUN:-0}" = "1" ]; then
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_GUI=ON
    cmake --build build-asan -j "$jobs"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp" \
        ctest --test-dir build-asan --output-on-failure -j "$jobs"

    # ThreadSanitizer cannot share a build with AddressSanitizer. It runs the suites whose code
    # starts threads without Qt: the readers of the archive, the engine's save runs and the
    # command-line tool (which the cli suite runs as a program, its saves on several threads). The
    # window's suites are left out: their threads are Qt's pool, whose locks, not built with
    # ThreadSanitizer, hide every hand-over of rows to a worker, so each one is reported. The
    # reliability suite kills saves in child processes and is left to the other two builds.
    threaded=(archive engine cli)
    suites=()
    for label in "${threaded[@]}"; do
        suites+=("velmora_${label}_suites")
    done
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_TSAN=ON -DVELMORA_BUILD_GUI=OFF
    cmake --build build-tsan -j "$jobs" --target "${suites[@]}"
    TSAN_OPTIONS="suppressions=$(pwd)/tests/tsan.supp second_deadlock_stack=1" \
        ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L "^($(IFS='|'; echo "${threaded[*]}"))\$"
fi

if [ "${VELMORA_FUZZ_RUN:-0}" = "1" ]; then
    scripts/fuzz.sh --ci
fi
