#!/usr/bin/env bash
# Builds the OBJ/MTL reader fuzzer with clang and runs it for a while on one job:
#   scripts/fuzz-reader.sh [seconds]   (default 60)
# Any crash, leak, undefined behaviour or hang is a finding and fails the script; its input is
# kept in build-fuzz/artifacts. Without clang the fuzzing is skipped.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
clang="$(command -v clang++-14 || command -v clang++ || true)"
if [[ -z "$clang" ]]; then
    echo "fuzz-reader: clang++ not found, fuzzing skipped"
    exit 0
fi

build="$root/build-fuzz"
mkdir -p "$build/artifacts"
"$clang" -std=c++17 -g -O1 -Wall -Wextra \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" "$root/tests/fuzz/obj_reader_fuzzer.cpp" "$root/model/objLoader.cpp" -lGL \
    -o "$build/obj_reader_fuzzer"

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
