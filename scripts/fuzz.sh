#!/usr/bin/env bash
# Builds every libFuzzer target under fuzz/ with clang and runs each in turn:
#   scripts/fuzz.sh [SECONDS_PER_TARGET (60)] [BUILD_DIR (build/fuzz)]
# New inputs collect in BUILD_DIR/corpus/<target>; fuzz/corpus/<target> holds
# the seeds. Crashing inputs are written to BUILD_DIR/crashes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
dir=${2:-$root/build/fuzz}

CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSARYN_FUZZ=ON -DTESSARYN_BUILD_TESTS=OFF -DTESSARYN_BUILD_BENCH=OFF >/dev/null
# Only the fuzz targets: the libraries they instrument would not link into
# the other programs, which are built without the sanitizers.
targets=$(for source in "$root"/fuzz/*.cpp; do basename "$source" .cpp; done)
cmake --build "$dir" --target $targets

mkdir -p "$dir/crashes"
for source in "$root"/fuzz/*.cpp; do
  target=$(basename "$source" .cpp)
  corpus=$dir/corpus/$target
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/fuzz/corpus/$target" ] && seeds=("$root/fuzz/corpus/$target")
  echo "== $target for ${seconds}s"
  "$dir/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$dir/crashes/$target-" "$corpus" "${seeds[@]}"
done
