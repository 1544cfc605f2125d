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
phases=("$@")
[ ${#phases[@]} -gt 0 ] || phases=(prepare build test)
for phase in "${phases[@]}"; do
    case "$phase" in prepare | build | test | bench) ;; *) die "unknown phase '$phase' (prepare, build, test, bench)" ;; esac
done

# Everything below runs in a private mount namespace: nothing mounted here outlives the script.
if [ -z "${SKARNHOLT_DEBIAN13_NAMESPACE:-}" ]; then
    SKARNHOLT_DEBIAN13_NAMESPACE=1 exec unshare --mount --propagation private bash "$0" "${phases[@]}"
fi

# The first deb URI that this machine's apt sources give for its own release, in either format.
host_mirror() {
    local codename file
    codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v suite="$codename" '
            function stanza_end() {
                if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && enabled != "no") {
                    split(uris, uri, " "); print uri[1]; exit
                }
                types = suites = uris = enabled = ""
            }
            /^[ \t]*$/ { stanza_end(); next }
            /^Types:/ { types = $0; sub(/^Types:[ \t]*/, "", types) }
            /^URIs:/ { uris = $0; sub(/^URIs:[ \t]*/, "", uris) }
            /^Suites:/ { suites = $0; sub(/^Suites:[ \t]*/, "", suites) }
            /^Enabled:/ { enabled = $2 }
            END { stanza_end() }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk -v suite="$codename" '
            $1 == "deb" {
                i = 2
                if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                if ($(i + 1) == suite) { print $i; exit }
            }' "$file"
    done
}

# Makes the root once; a root whose making was cut short is made again. Something mounted
# under it from outside this script (by hand) would be deleted with it: then it stops.
make_root() {
    [ -f "$place/root-ready" ] && return 0
    command -v debootstrap >/dev/null || die "no debootstrap (scripts/setup.sh test installs it)"
    local mirror
    mirror="$(host_mirror | head -n 1)"
    [ -n "$mirror" ] || die "no deb mirror for this machine's release in its apt sources"
    ! awk -v root="$root/" 'index($2 "/", root) == 1 { found = 1 } END { exit !found }' /proc/mounts ||
        die "something is mounted under $root: unmount it first"
    rm -rf "$root"
    mkdir -p "$place"
    say "making a minimal Debian 13 root from $mirror"
    debootstrap --variant=minbase "$release" "$root" "$mirror" >"$place/debootstrap.log" 2>&1 ||
        die "debootstrap failed: $(tail -n 5 "$place/debootstrap.log")"
    # Packages installed there must not start services.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 0755 "$root/usr/sbin/policy-rc.d"
    touch "$place/root-ready"
}

# Processes still running in the root (a server a test left behind) end with the script.
stop_processes_in_root() {
    local proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill -KILL "${proc#/proc/}" 2>/dev/null
    done
    return 0
}

# The root is a mount point of its own, as / is on a real machine: tools such as unshare -m
# (the read-only folder drill) change the propagation of / and fail on a plain folder.
mount_root() {
    mount --bind "$root" "$root"
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    trap stop_processes_in_root EXIT
}

# Runs a command line in the root, in /src, with a plain environment.
in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /src && $1"
}

# A clean copy of the working tree in the root's folder $1 (default /src): tracked files as they
# are now, and new files git does not ignore.
copy_tree() {
    local folder="$root${1:-/src}"
    rm -rf "$folder"
    mkdir -p "$folder"
    (cd "$repo" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
        tar --null -T - -cf -) | tar -xf - -C "$folder"
}

prepare() {
    copy_tree
    in_root "bash scripts/setup.sh test" || die "set-up failed"
    say "root ready: $(in_root '. /etc/os-release; echo "$PRETTY_NAME"'), $(in_root 'g++ --version | head -n 1')"
}

build() {
    copy_tree
    in_root "bash scripts/setup.sh test && cmake --preset ci >/dev/null && cmake --build --preset ci -j\$(nproc)" ||
        die "the ci build failed"
    in_root "bash scripts/tidy.sh" || die "clang-tidy found something"
}

# The package this machine builds (Debian 12's), installed and played in the Debian 13 root.
package_from_here() {
    local deb
    deb="$(bash "$repo/scripts/package.sh" 2>"$place/package.log")" ||
        die "scripts/package.sh failed: $(tail -n 5 "$place/package.log")"
    mkdir -p "$root/tmp/package"
    cp "$deb" "$root/tmp/package/"
    in_root "SKARNHOLT_PACKAGE=/tmp/package/$(basename "$deb") SKARNHOLT_GAME_DIR=/src/build/game \
             SKARNHOLT_TOOLS_DIR=/src/build/test-tools SKARNHOLT_SOURCE_DIR=/src \
             bash tests/e2e/test_package_install.sh" || die "the package built here failed on Debian 13"
}

run_tests() {
    in_root "ctest --preset ci" || die "CTest failed"
    package_from_here
}

run_bench() {
    copy_tree /bench
    in_root "cd /bench && bash scripts/bench.sh startup" || die "the benchmark failed"
}

make_root
mount_root
for phase in "${phases[@]}"; do
    case "$phase" in
        prepare) prepare ;;
        build) build ;;
        test) run_tests ;;
        bench) run_bench ;;
    esac
done
say "${phases[*]}: PASS in $SECONDS s"
