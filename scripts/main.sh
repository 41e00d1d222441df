#!/usr/bin/env bash
# The main job: install what is needed, build everything and say what was built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "Built in $root/build/release:"
find "$root/build/release" -maxdepth 2 -type f \( -name '*.a' -o -name '*.so' -o -perm -u+x \) \
  ! -path '*/CMakeFiles/*' -printf '  %P\n' | sort
