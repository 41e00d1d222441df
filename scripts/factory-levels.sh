#!/usr/bin/env bash
# Prints each factory program's peak and RMS level for its test phrase, and
# the peak of a single note at velocity 100, from a built tree:
# scripts/factory-levels.sh [BUILD_DIR] (default: build/release).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME=$home XDG_CONFIG_HOME=$home/.config "$build/tests/factory_tests" \
  --gtest_filter='FactoryBank.EveryProgram*' | sed -n 's/^\[levels\] //p'
