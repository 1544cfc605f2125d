#!/usr/bin/env bash
# Sets up the machine for testing, builds everything and runs every test, on this machine
# (Debian 12) and then, as root, on a minimal Debian 13 (scripts/test-debian13.sh) and on
# two other architectures run by qemu-user, little-endian arm64 and big-endian s390x
# (scripts/test-arch.sh):
#   - the build of the "ci" preset (warnings are errors) and clang-tidy over the game's sources;
#   - a short fuzzing run of the model reader, and the unit and GL tests under AddressSanitizer
#     and UBSan;
#   - the unit, GL and end-to-end tests through CTest (the Debian package among them: built
#     twice and compared, linted, installed and purged; the soak: each action's memory cost on
#     its own before and after a minute of random play, and idling);
#   - on Debian 13: set-up, the ci build, clang-tidy and CTest, and the package built here
#     installed, played and purged there;
#   - on arm64 and s390x: the ci build (cross-compiled), the unit and GL tests and a few
#     end-to-end tests, and the package built for each installed, played and purged there.
# The roots are made and set up in the background from the start, since that waits on the
# network and on emulation. Prints the time each part took.
set -euo pipefail
cd "$(dirname "$0")/.."

started=$SECONDS
here="$(. /etc/os-release && echo "${NAME%% *} ${VERSION_ID:-}")"
times=()
timed() {
    local name=$1 from=$SECONDS
    shift
    "$@"
    times+=("$(printf '%-54s %4d s' "$name" $((SECONDS - from)))")
}

bash scripts/setup.sh test

# Jobs in the background run in sessions of their own, so that a failure here ends them with
# everything they started.
background=()
end_background() {
    local pid
    for pid in "${background[@]}"; do kill -- "-$pid" 2>/dev/null || true; done
}
trap end_background EXIT

debian13=false
foreign_arches=(arm64 s390x)
declare -A arch_prepare_pid
if [ "$(id -u)" -eq 0 ]; then
    debian13=true
    mkdir -p build-debian13 build-arch
    setsid bash scripts/test-debian13.sh prepare >build-debian13/prepare.log 2>&1 &
    prepare_pid=$!
    background+=("$prepare_pid")
    for arch in "${foreign_arches[@]}"; do
        setsid bash scripts/test-arch.sh "$arch" prepare >"build-arch/$arch-prepare.log" 2>&1 &
        arch_prepare_pid[$arch]=$!
        background+=("$!")
    done
else
    echo "test: Debian 13 and other architectures skipped: they need root (debootstrap, chroot and mounts)"
fi

build_ci() {
    cmake --preset ci >/dev/null
    cmake --build --preset ci -j"$(nproc)"
}
timed "$here: ci build" build_ci
timed "$here: clang-tidy" bash scripts/tidy.sh
timed "$here: fuzzing the model reader" bash scripts/fuzz-reader.sh "${SKARNHOLT_FUZZ_SECONDS:-60}"
timed "$here: sanitizers" bash scripts/sanitize.sh
timed "$here: CTest" ctest --preset ci

# Prints a background job's log and fails with it when the job failed.
finish() {
    local pid=$1 log=$2 status=0
    wait "$pid" || status=$?
    cat "$log"
    return "$status"
}

if $debian13; then
    timed "Debian 13: root ready (made in the background)" finish "$prepare_pid" build-debian13/prepare.log
    timed "Debian 13: ci build and clang-tidy" bash scripts/test-debian13.sh build
    timed "Debian 13: CTest and the package built here" bash scripts/test-debian13.sh test
    for arch in "${foreign_arches[@]}"; do
        timed "$arch: roots ready (made in the background)" finish "${arch_prepare_pid[$arch]}" "build-arch/$arch-prepare.log"
        timed "$arch: ci build and package (cross-compiled)" bash scripts/test-arch.sh "$arch" build
        timed "$arch: CTest and the package, emulated" bash scripts/test-arch.sh "$arch" test
    done
fi

echo "test: PASS in $((SECONDS - started)) s"
printf 'test:   %s\n' "${times[@]}"
