#!/usr/bin/env bash
# Configures and builds the game (and its tests) into build/ with the "release" preset; the
# game lands in build/game/. Any arguments go to the configure step, e.g. -DBUILD_TESTING=OFF
# to leave the tests out.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release "$@" >/dev/null
cmake --build --preset release -j"$(nproc)"
