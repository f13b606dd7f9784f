#!/usr/bin/env bash
# Reports the line coverage of the core that the fuzzing corpora in build/fuzz/ reach (run
# scripts/test.sh first): builds the three fuzz targets with clang's source coverage into
# build/fuzz-coverage, runs each once over its corpus, and lists every core source; a source
# that no target links counts as not covered.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v llvm-cov-14 >/dev/null && ! command -v llvm-cov >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q && $sudo apt-get install -y -q llvm-14
fi
tool() { command -v "$1-14" || command -v "$1"; }
cov=$(tool llvm-cov)
profdata=$(tool llvm-profdata)
out=build/fuzz-coverage

cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DMORVANE_BUILD_FUZZ=ON -DMORVANE_BUILD_APP=OFF -DMORVANE_BUILD_TESTS=OFF \
  -DMORVANE_BUILD_BENCH=OFF "-DCMAKE_CXX_FLAGS=-fprofile-instr-generate -fcoverage-mapping" \
  -DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate >/dev/null
cmake --build "$out" -j3 --target map_fuzz prefs_fuzz comdat_fuzz

rm -f "$out"/*.profraw
scratch=$(mktemp -d)
for run in map_fuzz:corpus prefs_fuzz:corpus-prefs comdat_fuzz:corpus-comdat; do
  target=${run%%:*}
  TMPDIR="$scratch" LLVM_PROFILE_FILE="$out/$target-%p.profraw" \
    "$out/fuzz/$target" -runs=0 "build/fuzz/${run#*:}" >/dev/null 2>&1
done
rmdir "$scratch"
"$profdata" merge -sparse "$out"/*.profraw -o "$out/fuzz.profdata"

# The library's objects too, so that the sources no target links are listed.
objects=()
while IFS= read -r object; do
  objects+=(-object "$object")
done < <(find "$out/CMakeFiles/morvane_core.dir" -name '*.o' | sort)
mapfile -t sources < <(find "$PWD/src" -name '*.cpp' -o -name '*.h' | grep -v -e '/ui/' \
  -e '/src/main\.cpp$' | sort)
"$cov" report "$out/fuzz/map_fuzz" -object "$out/fuzz/prefs_fuzz" -object "$out/fuzz/comdat_fuzz" \
  "${objects[@]}" -instr-profile="$out/fuzz.profdata" "${sources[@]}" 2>/dev/null
