#!/usr/bin/env bash
# Sets up the machine for testing, builds everything and runs every test: the build of the
# "ci" preset (warnings are errors), clang-tidy over the game's sources, the unit, GL and
# end-to-end tests through CTest (the Debian package among them: built, linted, installed and
# purged), a short fuzzing run of the model reader, the unit and GL tests again under
# AddressSanitizer and UBSan, and a two-minute soak of the real game (memory is judged from
# the end of its first minute).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
cmake --preset ci >/dev/null
cmake --build --preset ci -j"$(nproc)"
bash scripts/tidy.sh
ctest --preset ci
bash scripts/fuzz-reader.sh "${SKARNHOLT_FUZZ_SECONDS:-60}"
bash scripts/sanitize.sh
bash scripts/soak.sh 2 build/game
