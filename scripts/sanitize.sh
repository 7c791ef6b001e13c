#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test but
# the end-to-end ones (the windows on the offscreen platform); then the sound code alone with
# ThreadSanitizer, for its audio and decoder threads.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVAST_SANITIZE=ON \
  -DMORVAST_BUILD_GUI=ON -DMORVAST_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt" QT_QPA_PLATFORM=offscreen
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --timeout 1500 -LE e2e

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVAST_SANITIZE_THREAD=ON \
  -DMORVAST_BUILD_GUI=OFF -DMORVAST_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan --parallel "$(nproc)" --target sound_tests sound_disk_tests
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
ctest --test-dir build-tsan --output-on-failure --parallel "$(nproc)" --timeout 1500 -L sound
