#!/bin/bash
# Starts the installed Skarnholt from its data folder, where the game opens its assets by name.
set -euo pipefail

# Both folders are found from this script's own place (games/ under the install prefix),
# so the installed tree can move; SKARNHOLT_DATA points the game at another data folder.
prefix="$(dirname "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")")"
game="$prefix/lib/games/skarnholt/skarnholt"
data="${SKARNHOLT_DATA:-$prefix/share/games/skarnholt}"

if ! cd "$data" 2>/dev/null; then
    echo "skarnholt: cannot enter the data folder $data" >&2
    exit 1
fi
exec "$game" "$@"
