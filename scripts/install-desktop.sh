#!/usr/bin/env bash
# Puts the standalone application in the desktop's application menu for this
# user: scripts/install-desktop.sh BUILD_DIR. The menu entry starts the
# executable in BUILD_DIR by its absolute path, so run it again after moving
# the build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 1 ] || { echo "Usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" && pwd)
binary="$build/hosts/standalone/tessaryn-standalone"
icon="$build/resources/tessaryn-standalone.png"
for file in "$binary" "$icon"; do
  [ -e "$file" ] || { echo "$file is missing; build first." >&2; exit 1; }
done
data=${XDG_DATA_HOME:-$HOME/.local/share}
applications="$data/applications"
icons="$data/icons/hicolor/256x256/apps"
mkdir -p "$applications" "$icons"
install -m 644 "$icon" "$icons/tessaryn-standalone.png"
# The Exec value quotes the path: first escaped for the quoting (\ " ` $) and
# the field codes (%), then every backslash once more for the string itself.
escaped=$(printf '%s' "$binary" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')
while IFS= read -r line; do
  case $line in
    Exec=*) printf 'Exec="%s"\n' "$escaped" ;;
    *) printf '%s\n' "$line" ;;
  esac
done < "$root/resources/tessaryn-standalone.desktop" > "$applications/tessaryn-standalone.desktop"
chmod 644 "$applications/tessaryn-standalone.desktop"
command -v update-desktop-database > /dev/null && update-desktop-database -q "$applications" || true
command -v gtk-update-icon-cache > /dev/null && gtk-update-icon-cache -q -t "$data/icons/hicolor" || true
echo "Tessaryn is in the application menu ($applications/tessaryn-standalone.desktop)."
