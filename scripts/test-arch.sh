#!/usr/bin/env bash
# Tests the game on another of Debian's architectures (arm64, armhf, armel, i386, ppc64el,
# riscv64, s390x), run by qemu-user, in minimal roots that debootstrap makes once and that stay
# in build-arch/ARCH/ for later runs:
#   scripts/test-arch.sh ARCH [prepare|build|test]...   (default: all three, in that order)
#     prepare  make the roots if there are none and set them up: the cross root, of this
#              machine's architecture, with Debian's cross compilers for ARCH, ARCH's libraries
#              beside its own, and the tools the tests drive the game with
#              (scripts/setup.sh cross); and the target root, of ARCH alone, with what playing
#              the package there needs (scripts/setup.sh target)
#     build    put a clean copy of the working tree in /src, which both roots share; build the
#              "ci" preset there for ARCH (warnings are errors) and the Debian package
#     test     in the cross root: the unit and GL tests and the end-to-end tests chosen below,
#              through CTest: the game and the test programs run emulated, the X server, xdotool
#              and ImageMagick at this machine's speed; then, in the target root, the package
#              installed with apt, started under Xvfb, ended with Escape and purged
# Debian 13 where its packages for ARCH can be had, else Debian 12: debootstrap tries them in
# that order, and the release it made stays with the roots. The mirror is the one this
# machine's apt sources name for its own release. Needs root; the mounts live in a mount
# namespace of their own.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
arch="${1:-}"
[ $# -gt 0 ] && shift
place="$repo/build-arch/$arch"
target="$place/target"
cross="$place/cross"
releases=(trixie bookworm)

say() { echo "arch $arch: $*"; }
die() { echo "arch $arch: $*" >&2; exit 1; }

case "$arch" in
    arm64 | armhf | armel | i386 | ppc64el | riscv64 | s390x) ;;
    *) echo "usage: scripts/test-arch.sh arm64|armhf|armel|i386|ppc64el|riscv64|s390x [prepare|build|test]..." >&2; exit 2 ;;
esac
[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap, binfmt_misc, chroot and mounts)"
source "$repo/scripts/lib/debian-root.sh"
read_phases "prepare build test" "$@"
in_private_mounts "$arch" "${phases[@]}"

host_arch="$(dpkg --print-architecture)"
[ "$arch" != "$host_arch" ] || die "is this machine's own architecture: the test command runs it natively"

# The name qemu gives the architecture's interpreter. 32-bit x86 goes through it too: some
# x86-64 kernels, this machine's among them, are built without running 32-bit programs.
qemu_name() {
    case "$arch" in
        arm64) echo aarch64 ;;
        armhf | armel) echo arm ;;
        ppc64el) echo ppc64le ;;
        *) echo "$arch" ;;
    esac
}

# Programs of ARCH run through qemu-user: its interpreter is registered with binfmt_misc
# unless something (a service, an earlier run) has done it. The F flag loads the interpreter
# once, so the roots need no copy of it.
register_interpreter() {
    local name binfmt=/proc/sys/fs/binfmt_misc
    name="$(qemu_name)"
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" ||
        die "cannot mount binfmt_misc at $binfmt"
    [ -e "$binfmt/qemu-$name" ] && return 0
    binfmt_entry "$name" >"$binfmt/register" || die "binfmt_misc refused the interpreter for $arch"
}

# qemu-user-static's entry for the architecture. It ships none for i386 on an x86-64 machine,
# where the kernel usually runs 32-bit programs itself; that one is written here, matching a
# 32-bit little-endian x86 executable or shared object as qemu's own table does.
binfmt_entry() {
    local name="$1" conf="/usr/lib/binfmt.d/qemu-$1.conf"
    if [ -f "$conf" ]; then
        grep -v '^#' "$conf"
    elif [ "$name" = i386 ] && [ -x /usr/bin/qemu-i386-static ]; then
        printf '%s\n' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'
    else
        die "no $conf (scripts/setup.sh test installs qemu-user-static)"
    fi
}

# The target root: Debian 13 where it can be had for ARCH, else Debian 12. Made once; a root
# whose making was cut short is made again.
prepare_target() {
    [ -f "$place/target-ready" ] && return 0
    local release
    mkdir -p "$place"
    for release in "${releases[@]}"; do
        remove_root "$target" || die "cannot make the target root afresh"
        say "making a minimal $release root of $arch (its second stage runs emulated)"
        if make_root "$target" "$release" "$arch" "$place/debootstrap-$release.log"; then
            echo "$release" >"$place/release"
            touch "$place/target-ready"
            return 0
        fi
        say "no $release root: $(grep -m 1 -E '^E: ' "$place/debootstrap-$release.log" || tail -n 1 "$place/debootstrap-$release.log")"
    done
    die "debootstrap made no root of $arch"
}

# The cross root: this machine's architecture, the target's release.
prepare_cross() {
    [ -f "$place/cross-ready" ] && return 0
    remove_root "$cross" || die "cannot make the cross root afresh"
    say "making a minimal $(cat "$place/release") root of $host_arch to cross-build in"
    make_root "$cross" "$(cat "$place/release")" "$host_arch" "$place/debootstrap-cross.log" ||
        die "debootstrap failed: $(tail -n 5 "$place/debootstrap-cross.log")"
    touch "$place/cross-ready"
}

# Both roots see the same /src, so that the build's own paths hold in the target root.
mount_roots() {
    mkdir -p "$place/src" "$target/src" "$cross/src"
    mount_root "$target"
    mount_root "$cross"
    mount --bind "$place/src" "$target/src"
    mount --bind "$place/src" "$cross/src"
    trap 'stop_processes_in_root "$target"; stop_processes_in_root "$cross"' EXIT
}

# Command lines in the roots; the cross root's builds are for ARCH.
on_target() { in_root "$target" "$1"; }
on_cross() {
    in_root "$cross" "export SKARNHOLT_CROSS_ARCH=$arch CMAKE_TOOLCHAIN_FILE=/src/scripts/debian-cross.cmake; $1"
}

# The set-up script comes from the working tree on its standard input, so that a build
# already in /src stays.
prepare() {
    on_target "bash -s target" <"$repo/scripts/setup.sh" >"$place/setup-target.log" 2>&1 ||
        die "set-up of the target root failed: $(tail -n 5 "$place/setup-target.log")"
    on_cross "bash -s cross" <"$repo/scripts/setup.sh" >"$place/setup-cross.log" 2>&1 ||
        die "set-up of the cross root failed: $(tail -n 5 "$place/setup-cross.log")"
    say "roots ready: $(on_target '. /etc/os-release; echo "$PRETTY_NAME"') of $arch;" \
        "$(on_cross "\$(dpkg-architecture -a $arch -qDEB_HOST_GNU_TYPE 2>/dev/null)-g++ --version | head -n 1")"
}

# Emulated, the game's frames take seconds, and many more under load: armhf's pick tests took
# over 100 s each beside two other emulated runs. The tests' limits, there to catch a hang,
# are ten times this machine's.
time_scale=10

build() {
    copy_tree "$repo" "$place/src"
    on_cross "bash scripts/setup.sh cross && cmake --preset ci -DSKARNHOLT_TEST_TIME_SCALE=$time_scale >/dev/null &&
              cmake --build --preset ci -j\$(nproc)" ||
        die "the ci build failed"
    on_cross "bash scripts/package.sh >/src/build/package-path 2>/src/build/package.log" ||
        die "scripts/package.sh failed: $(tail -n 5 "$place/src/build/package.log")"
    say "built $(basename "$(cat "$place/src/build/package-path")")"
}

# Under emulation the game draws a frame in a second or more, so only the end-to-end tests
# that say most about another architecture run: the picture's colours and textures, the text
# line, the pick with its explosion's moment, and start and quit. The others would add an
# hour; they test nothing that depends on the processor.
emulated_e2e='^e2e_test_(city_picture|overlay|pick|start_and_quit)$'

run_tests() {
    on_cross "ctest --preset ci -LE e2e" || die "CTest (unit and GL tests) failed"
    on_cross "ctest --preset ci -R '$emulated_e2e'" || die "CTest (end-to-end tests) failed"
    on_target "SKARNHOLT_PACKAGE=\$(cat build/package-path) SKARNHOLT_GAME_DIR=/src/build/game \
               SKARNHOLT_TOOLS_DIR=/src/build/test-tools SKARNHOLT_SOURCE_DIR=/src SKARNHOLT_TEST_TIME_SCALE=$time_scale \
               bash tests/e2e/test_package_install.sh" || die "the package failed on $arch"
}

register_interpreter
for phase in "${phases[@]}"; do
    [ "$phase" != prepare ] || { prepare_target; prepare_cross; }
done
[ -f "$place/target-ready" ] && [ -f "$place/cross-ready" ] || die "no roots yet: run the prepare phase first"
mount_roots
for phase in "${phases[@]}"; do
    case "$phase" in
        prepare) prepare ;;
        build) build ;;
        test) run_tests ;;
    esac
done
say "${phases[*]} on $(cat "$place/release"): PASS in $SECONDS s"
