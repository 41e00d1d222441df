#!/usr/bin/env bash
# The whole test suite: an optimised build, then the same tests under
# AddressSanitizer with UndefinedBehaviorSanitizer, and under ThreadSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

run_suite() {
  local dir=$1
  shift
  echo "== $(basename "$dir") build"
  "$root/scripts/build.sh" "$dir" "$@"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
}

run_suite "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DTESSARYN_SANITIZE=ON -DTESSARYN_BUILD_BENCH=OFF
# Parameter and program changes race the render thread in the instrument's
# thread tests; ThreadSanitizer checks the hand-over. The suppressions cover
# libraries built without it (see the file).
export TSAN_OPTIONS="suppressions=$root/tests/tsan-suppressions.txt"
run_suite "$root/build/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARYN_TSAN=ON -DTESSARYN_BUILD_BENCH=OFF

# Keeps the fuzz targets building and gives each a short run on its seeds.
echo "== fuzz smoke run"
"$root/scripts/fuzz.sh" 10 "$root/build/fuzz" > "$root/build/fuzz-smoke.log" 2>&1 || {
  tail -40 "$root/build/fuzz-smoke.log"
  exit 1
}
grep -E '^== |stat::number_of_executed_units' "$root/build/fuzz-smoke.log"
