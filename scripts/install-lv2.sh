#!/usr/bin/env bash
# Copies the built LV2 bundles of a build tree to the user's LV2 folder:
# scripts/install-lv2.sh BUILD_DIR [BUNDLE...] (default: tessaryn.lv2)
set -euo pipefail
build=$1
shift
bundles=("$@")
[ ${#bundles[@]} -gt 0 ] || bundles=(tessaryn.lv2)
target="${LV2_INSTALL_DIR:-$HOME/.lv2}"
mkdir -p "$target"
for bundle in "${bundles[@]}"; do
  source="$build/lv2/$bundle"
  if [ ! -f "$source/manifest.ttl" ]; then
    echo "No built bundle at $source; build the project first." >&2
    exit 1
  fi
  rm -rf "${target:?}/$bundle"
  cp -r "$source" "$target/"
  echo "Installed $bundle in $target"
done
