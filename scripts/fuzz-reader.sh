#!/usr/bin/env bash
# Builds the OBJ/MTL reader fuzzer with clang (preset "fuzzing", build-fuzz/) and runs it for
# a while on one job:
#   scripts/fuzz-reader.sh [seconds]   (default 60)
# Any crash, leak, undefined behaviour or hang is a finding and fails the script; its input is
# kept in build-fuzz/artifacts. Without clang the fuzzing is skipped.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if ! command -v clang++ >/dev/null; then
    echo "fuzz-reader: clang++ not found, fuzzing skipped"
    exit 0
fi

build="$root/build-fuzz"
(cd "$root" && cmake --preset fuzzing >/dev/null && cmake --build --preset fuzzing -j2 >/dev/null)
mkdir -p "$build/artifacts"

# The fuzzer adds inputs to its corpus and writes model files: keep all of that out of the tree.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$root/tests/fuzz/corpus" "$work/corpus"
cd "$work"

# The reader's messages on standard error are closed off (-close_fd_mask=2);
# libFuzzer and the sanitizers still report there.
if ! TMPDIR="$work" "$build/obj_reader_fuzzer" "$work/corpus" \
        -max_total_time="$seconds" -timeout=10 -close_fd_mask=2 \
        -dict="$root/tests/fuzz/obj_reader.dict" \
        -artifact_prefix="$build/artifacts/" </dev/null; then
    echo "fuzz-reader: FINDING, see the input in $build/artifacts/" >&2
    exit 1
fi
echo "fuzz-reader: no finding in ${seconds} s"
