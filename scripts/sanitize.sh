#!/usr/bin/env bash
# Builds the rules, the settings file and the sound code with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs their tests; then the sound code alone with
# ThreadSanitizer, for its audio and decoder threads.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVAST_SANITIZE=ON \
  -DMORVAST_BUILD_GUI=OFF -DMORVAST_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --timeout 1500 -L 'engine|scoring|sound|settings'

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVAST_SANITIZE_THREAD=ON \
  -DMORVAST_BUILD_GUI=OFF -DMORVAST_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan --parallel "$(nproc)" --target sound_tests sound_disk_tests
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
ctest --test-dir build-tsan --output-on-failure --parallel "$(nproc)" --timeout 1500 -L sound
