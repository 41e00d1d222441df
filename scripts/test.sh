#!/usr/bin/env bash
# The whole test suite: an optimised build, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer.
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
