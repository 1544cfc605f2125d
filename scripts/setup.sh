#!/usr/bin/env bash
# Installs, from Debian's registry, the packages Skarnholt needs for one purpose:
#   scripts/setup.sh play      build the game and play it
#   scripts/setup.sh package   the same, and build the Debian package
#   scripts/setup.sh bench     the same as play, and build and run the benchmark
#   scripts/setup.sh [test]    all of the above, and run every test, remake the assets and
#                              the icon, and test on Debian 13 and other architectures as well
#   scripts/setup.sh target    install a package built elsewhere and play it under a virtual
#                              X server: the libraries the game loads, and the tools its test
#                              drives it with (no compiler)
# With SKARNHOLT_CROSS_ARCH set to a Debian architecture (arm64, s390x...), every purpose that
# builds installs what cross-building for it takes instead: Debian's cross compilers, and that
# architecture's libraries and headers beside the machine's own (multiarch).
# The same names on Debian 12 and 13: where Debian names each release's default version of a
# tool (libclang-rt-dev), that name is used. Quick and quiet when everything is already there.
set -euo pipefail

purpose="${1:-test}"

play_packages=(
    # build
    cmake g++ make pkg-config
    libsdl1.2-dev libsdl-mixer1.2-dev libgl1-mesa-dev libglu1-mesa-dev
    libfreetype-dev libfontconfig-dev
    # play: the GL driver, MP3 decoding for SDL_mixer, the text line's font, and a virtual
    # X server for a machine without a display
    libgl1-mesa-dri libmad0 fonts-dejavu-core xvfb xauth
)
package_packages=(
    # dpkg-buildflags and dpkg-shlibdeps; CPack finds the programs to scan with file
    dpkg-dev file
)
bench_packages=(
    # the model reader is timed next to tinyobjloader
    libtinyobjloader-dev
)
# What the package's test needs where the package was built elsewhere.
target_packages=(
    libsdl1.2debian libsdl-mixer1.2 libgl1 libglu1-mesa libfreetype6 libfontconfig1
    libgl1-mesa-dri libmad0 fonts-dejavu-core xvfb xauth
    xdotool x11-utils procps desktop-file-utils appstream man-db
)
# A cross build, and its tests run there: the libraries it links and what the game loads at
# run time, in the architecture built for, and so are the X server and its keymap compiler:
# Mesa's software renderer hands the server pixels in the game's byte order, which a server of
# the other order shows with the channels mixed up, and the server reads the compiler's
# keymaps in its own. The tools that drive and watch the game are the machine's own, since only
# the game, the test programs and the X server need to run emulated.
cross_libraries=(
    libsdl1.2-dev libsdl-mixer1.2-dev libgl-dev libglu1-mesa-dev libfreetype-dev libfontconfig-dev
    libgtest-dev libtinyobjloader-dev libgl1-mesa-dri libmad0 xvfb x11-xkb-utils
)
cross_tools=(
    fonts-dejavu-core xauth xdotool x11-utils imagemagick tesseract-ocr tesseract-ocr-eng procps
)
test_packages=(
    # unit, GL and end-to-end tests, static analysis, fuzzing and sanitizers
    libgtest-dev googletest xdotool x11-utils imagemagick tesseract-ocr tesseract-ocr-eng
    clang clang-tidy libclang-rt-dev procps
    # SDL 1.2's interface over SDL 2, for the start-up tests: on Debian 12 beside the classic
    # library, on Debian 13 the library itself
    libsdl1.2-compat
    # checks of the installed game and of the package
    desktop-file-utils appstream man-db lintian
    # remaking the assets and the icon, and the soak
    lame sox librsvg2-bin
    # minimal Debian roots to test on: Debian 13, and other architectures run by qemu-user
    debootstrap qemu-user-static
)

cross="${SKARNHOLT_CROSS_ARCH:-}"
case "$purpose" in
    play | package | bench | test) [ -z "$cross" ] || purpose=cross ;;
esac
case "$purpose" in
    cross) packages=(cmake make pkg-config "${package_packages[@]}" "crossbuild-essential-$cross"
                     "${cross_libraries[@]/%/:$cross}" "${cross_tools[@]}") ;;
    target) packages=("${target_packages[@]}") ;;
    play) packages=("${play_packages[@]}") ;;
    package) packages=("${play_packages[@]}" "${package_packages[@]}") ;;
    bench) packages=("${play_packages[@]}" "${bench_packages[@]}") ;;
    test) packages=("${play_packages[@]}" "${package_packages[@]}" "${bench_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: scripts/setup.sh [play|package|bench|test|target]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if [ -n "$cross" ] && ! dpkg --print-foreign-architectures | grep -qx "$cross"; then
    "${sudo_cmd[@]}" dpkg --add-architecture "$cross"
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
