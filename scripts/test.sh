#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite: once as built,
# a short fuzzing run, once under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# extraction tests, whose work runs on a thread of its own, under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

echo "== Build and test"
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev

echo "== Fuzz the map reader and the printers briefly"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/corpus
build/fuzz/tests/support/mapgen seeds build/fuzz/corpus
build/fuzz/fuzz/map_fuzz -runs=20000 -max_len=65536 -max_total_time=120 build/fuzz/corpus

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

echo "== Build and run the extraction tests under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan
