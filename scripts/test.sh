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

# Runs a fuzz target, which must leave no file behind: none in the temporary folder, none named
# after its process.
fuzz() {
  local scratch pid
  scratch=$(mktemp -d)
  TMPDIR="$scratch" "$@" &
  pid=$!
  wait "$pid"
  if [ -n "$(ls -A "$scratch")" ] || compgen -G "/tmp/*[!0-9]$pid[!0-9]*" >/dev/null; then
    echo "$1 left files behind" >&2
    exit 1
  fi
  rmdir "$scratch"
}

echo "== Fuzz the map readers and editors, the preferences and command file readers briefly"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/corpus build/fuzz/corpus-prefs build/fuzz/corpus-comdat
build/fuzz/tests/support/mapgen seeds build/fuzz/corpus
build/fuzz/fuzz/seedgen prefs build/fuzz/corpus-prefs
build/fuzz/fuzz/seedgen comdat build/fuzz/corpus-comdat
fuzz build/fuzz/fuzz/map_fuzz -runs=20000 -max_len=65536 -max_total_time=120 build/fuzz/corpus
fuzz build/fuzz/fuzz/prefs_fuzz -runs=100000 -max_len=512 -max_total_time=30 build/fuzz/corpus-prefs
fuzz build/fuzz/fuzz/comdat_fuzz -runs=100000 -max_len=4096 -max_total_time=60 \
  build/fuzz/corpus-comdat

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

echo "== Build and run the extraction tests under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan
