#!/usr/bin/env bash
# Installs what the benchmark needs (scripts/setup.sh bench), builds it in a Release build of
# its own (preset "benchmark", build-bench/) and runs it: frame, pick, blast, start-up, model
# reader and memory numbers as one table, in under two minutes.
# Arguments, if any, pick sections: startup, frames, reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh bench
cmake --preset benchmark >/dev/null
cmake --build --preset benchmark -j2 >/dev/null
build-bench/bench/skarnholt_bench "$@"
