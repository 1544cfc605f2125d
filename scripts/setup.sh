#!/usr/bin/env bash
# Installs, from Debian's registry, every package Skarnholt needs to build, play and test.
# Quick and quiet when everything is already there.
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config
    libsdl1.2-dev libsdl-mixer1.2-dev libgl1-mesa-dev libglu1-mesa-dev
    libfreetype-dev libfontconfig-dev fonts-dejavu-core
    # play: the GL driver, MP3 decoding for SDL_mixer
    libgl1-mesa-dri libmad0
    # tests
    libgtest-dev googletest xvfb xauth xdotool imagemagick
    tesseract-ocr tesseract-ocr-eng clang libclang-rt-14-dev desktop-file-utils
    # assets, benchmark and soak
    lame sox libtinyobjloader-dev procps
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

# The SDL 1.2 compatibility layer conflicts with the classic library; naming both of the
# classic packages switches a machine back.
if dpkg-query -W -f='${Status}\n' libsdl1.2-compat 2>/dev/null | grep -q "install ok installed"; then
    missing+=(libsdl1.2-dev libsdl1.2debian)
fi

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
