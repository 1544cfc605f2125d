#!/usr/bin/env bash
# Runs clang-tidy, with the checks in .clang-tidy, over the game's own sources (app, world,
# render, model, platform) as the build in build/ compiles them; any finding fails it.
#   scripts/tidy.sh [BUILD_DIR]   (default build/, configured by a preset, which writes
#                                  compile_commands.json)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
[ -f "$build/compile_commands.json" ] ||
    { echo "tidy: no compile_commands.json in $build (cmake --preset ci first)" >&2; exit 1; }

# Only the game's own files: the tests, the benchmark and the tools follow GoogleTest's and
# GL's idioms, which these checks were not chosen for.
sources="^$root/(app|world|render|model|platform)/[^/]+\\.cpp\$"
log="$build/clang-tidy.log"
# The findings are printed without clang-tidy's progress lines and colours.
if ! run-clang-tidy -p "$build" -j 2 -quiet "$sources" >"$log" 2>&1; then
    sed 's/\x1b\[[0-9;]*m//g' "$log" |
        grep -vE '^((\[ *[0-9]+/[0-9]+\]\[[0-9.]+s\] )?clang-tidy|[0-9]+ warnings? generated|Suppressed [0-9]+ warnings|Use -header-filter|$)' >&2 || true
    echo "tidy: FINDINGS (full output in $log)" >&2
    exit 1
fi
# clang-tidy 14 starts each file's line with its command, 19 with "[ N/M][T s] " first.
echo "tidy: no finding in $(grep -cE '^(\[ *[0-9]+/[0-9]+\]\[[0-9.]+s\] )?clang-tidy(-[0-9]+)? ' "$log") source files"
