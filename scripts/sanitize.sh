#!/usr/bin/env bash
# Builds the rules, the settings file and the sound code with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs their tests.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVAST_SANITIZE=ON \
  -DMORVAST_BUILD_GUI=OFF -DMORVAST_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --timeout 1500 -L 'engine|scoring|sound|settings'
