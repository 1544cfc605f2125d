#!/usr/bin/env bash
# Sets up the machine, builds the game and starts it from its own folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build/game
exec ./skarnholt
