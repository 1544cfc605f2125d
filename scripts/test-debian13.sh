#!/usr/bin/env bash
# Runs the test suite on Debian 13 ("trixie"), where SDL 1.2's interface is sdl12-compat over
# SDL 2, with Mesa 25, GCC 14 and clang 19, in a minimal root that debootstrap makes once and
# that stays in build-debian13/root for later runs:
#   scripts/test-debian13.sh [prepare|build|test|bench]...   (default: the first three, in that order)
#     prepare  make the root if there is none, and set it up for testing (scripts/setup.sh test)
#     build    put a clean copy of the working tree in /src there, build the "ci" preset
#              (warnings are errors) and run clang-tidy
#     test     run every CTest test there; then install the package built here
#              (scripts/package.sh) with apt, start it under Xvfb, end it with Escape and purge it
#     bench    put a clean copy of the working tree in /bench there (leaving /src and its build to
#              the other phases) and run the benchmark's start-up section (scripts/bench.sh
#              startup): the figures of sdl12-compat and Mesa 25
# The mirror is the one this machine's apt sources name for its own release. Needs root; the
# mounts it makes live in a mount namespace of its own, so they go however the script ends.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
place="$repo/build-debian13"
root="$place/root"
release=trixie

say() { echo "debian13: $*"; }
die() { echo "debian13: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap, chroot and mounts)"
source "$repo/scripts/lib/debian-root.sh"
read_phases "prepare build test bench" "$@"
in_private_mounts "${phases[@]}"

# Makes the root once; a root whose making was cut short is made again.
prepare_root() {
    [ -f "$place/root-ready" ] && return 0
    remove_root "$root" || die "cannot make the root afresh"
    mkdir -p "$place"
    say "making a minimal Debian 13 root"
    make_root "$root" "$release" "$(dpkg --print-architecture)" "$place/debootstrap.log" ||
        die "debootstrap failed: $(tail -n 5 "$place/debootstrap.log")"
    touch "$place/root-ready"
}

run() { in_root "$root" "$1"; }

prepare() {
    copy_tree "$repo" "$root/src"
    run "bash scripts/setup.sh test" || die "set-up failed"
    say "root ready: $(run '. /etc/os-release; echo "$PRETTY_NAME"'), $(run 'g++ --version | head -n 1')"
}

build() {
    copy_tree "$repo" "$root/src"
    run "bash scripts/setup.sh test && cmake --preset ci >/dev/null && cmake --build --preset ci -j\$(nproc)" ||
        die "the ci build failed"
    run "bash scripts/tidy.sh" || die "clang-tidy found something"
}

# The package this machine builds (Debian 12's), installed and played in the Debian 13 root.
package_from_here() {
    local deb
    deb="$(bash "$repo/scripts/package.sh" 2>"$place/package.log")" ||
        die "scripts/package.sh failed: $(tail -n 5 "$place/package.log")"
    mkdir -p "$root/tmp/package"
    cp "$deb" "$root/tmp/package/"
    run "SKARNHOLT_PACKAGE=/tmp/package/$(basename "$deb") SKARNHOLT_GAME_DIR=/src/build/game \
             SKARNHOLT_TOOLS_DIR=/src/build/test-tools SKARNHOLT_SOURCE_DIR=/src \
             bash tests/e2e/test_package_install.sh" || die "the package built here failed on Debian 13"
}

run_tests() {
    run "ctest --preset ci" || die "CTest failed"
    package_from_here
}

run_bench() {
    copy_tree "$repo" "$root/bench"
    run "cd /bench && bash scripts/bench.sh startup" || die "the benchmark failed"
}

prepare_root
mount_root "$root"
trap 'stop_processes_in_root "$root"' EXIT
for phase in "${phases[@]}"; do
    case "$phase" in
        prepare) prepare ;;
        build) build ;;
        test) run_tests ;;
        bench) run_bench ;;
    esac
done
say "${phases[*]}: PASS in $SECONDS s"
