#!/usr/bin/env bash
# Rebuilds every game asset in assets/game from the generator's sources.
# Needs cmake, a C++17 compiler and lame. Usage: assets/make-assets.sh [BUILD_DIR]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-$here/../build-assets/asset-generator}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target asset_generator -j2 >/dev/null
"$build/asset_generator" "$here/game" "$work/Buzz-0001.wav"

# Constant 80 kbit/s joint stereo at 44.1 kHz: small, and what the game's decoder plays
# without resampling. No tags and no ReplayGain scan, so the file depends only on the audio.
lame --quiet --cbr -b 80 --resample 44.1 --noreplaygain "$work/Buzz-0001.wav" "$here/game/Buzz-0001.mp3"

ls -l "$here/game"
