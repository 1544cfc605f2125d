#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: unit, GL and end-to-end
# tests through CTest, then a short fuzzing run of the model reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
(cd build && ctest --output-on-failure -j2 --timeout 900)
if [ -f scripts/fuzz-reader.sh ]; then
    bash scripts/fuzz-reader.sh "${SKARNHOLT_FUZZ_SECONDS:-60}"
fi
