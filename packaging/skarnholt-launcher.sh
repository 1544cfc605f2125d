#!/usr/bin/env bash
# Starts the installed Skarnholt from its data folder, where it opens its assets by name.
set -euo pipefail
# The data folder is found from this script's own place, so the installed tree can move.
bin_dir="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"
cd "$bin_dir/../share/skarnholt"
exec ./skarnholt "$@"
