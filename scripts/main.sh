#!/usr/bin/env bash
# The main job: install what is needed, build everything, install the LV2
# plug-in in ~/.lv2, put the standalone application in the desktop's menu
# and render the built-in demo with the instrument. scripts/main.sh [FOLDER] writes
# tessaryn-demo.wav into FOLDER (default: the repository's top folder).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:-$root}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$root/scripts/install-lv2.sh" "$root/build/release"
"$root/scripts/install-desktop.sh" "$root/build/release"
mkdir -p "$folder"
demo="$(cd "$folder" && pwd)/tessaryn-demo.wav"
"$root/build/release/hosts/render/tessaryn-render" -o "$demo"
echo "The demo is in $demo"
echo "Play it on its own with: $root/build/release/hosts/standalone/tessaryn-standalone (--help for options)"
echo "Render your own MIDI files with: $root/build/release/hosts/render/tessaryn-render FILE.mid (--help for options)"
