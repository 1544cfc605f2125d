#!/usr/bin/env bash
# Builds the Debian package: the game with Debian's build flags in build-pkg/ (preset
# "package"), then CPack from the install rules. Prints the path of the .deb it wrote.
# The same source gives the same package, byte for byte, wherever and whenever it is built:
# every time stamp in it is the changelog's date (SOURCE_DATE_EPOCH, as Debian's tools take it).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-pkg"

# Debian's compiler and linker flags, with every hardening option, as packages are built.
export_build_flags() {
    local flags cppflags
    flags="$(cd "$root" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
    eval "$flags"
    cppflags="$CPPFLAGS"
    export CFLAGS="$CFLAGS $cppflags" CXXFLAGS="$CXXFLAGS $cppflags"
}

# CPack counts each folder at its size on disk, which differs from one file system to another
# (4 KiB on ext4, a few bytes on tmpfs); Debian counts 1 KiB a folder and each file in whole
# KiB, as dpkg-gencontrol does. The package is unpacked, given that Installed-Size, and packed
# again by dpkg-deb, which keeps the owners, modes and time stamps.
set_installed_size() {
    local deb=$1 tree kib
    tree="$(mktemp -d)"
    dpkg-deb -R "$deb" "$tree/package"
    kib="$(cd "$tree/package" && find . -path ./DEBIAN -prune -o ! -name . -printf '%y %s\n' |
        awk '$1 == "f" { kib += int(($2 + 1023) / 1024); next } { kib += 1 } END { print kib }')"
    sed -i "s/^Installed-Size: .*/Installed-Size: $kib/" "$tree/package/DEBIAN/control"
    dpkg-deb --root-owner-group -Zxz --build "$tree/package" "$deb" >&2
    rm -rf "$tree"
}

umask 022
bash "$root/scripts/setup.sh" package >&2
# A cross build (scripts/debian-cross.cmake): Debian's tools take the flags and the library
# dependencies of the architecture built for.
if [ -n "${SKARNHOLT_CROSS_ARCH:-}" ]; then
    export DEB_HOST_ARCH="$SKARNHOLT_CROSS_ARCH"
fi
export_build_flags
: "${SOURCE_DATE_EPOCH:=$(dpkg-parsechangelog -l "$root/packaging/debian/changelog" -STimestamp)}"
export SOURCE_DATE_EPOCH
# Only the game and what it installs are built; the tests and tools are not packaged.
cd "$root"
cmake --preset package >&2
cmake --build --preset package -j"$(nproc)" >&2
rm -f "$build"/skarnholt_*.deb
(cd "$build" && cpack >&2)
deb="$(ls "$build"/skarnholt_*.deb)"
set_installed_size "$deb"
echo "$deb"
