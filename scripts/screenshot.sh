#!/usr/bin/env bash
# Takes the README's screenshot: the built game under a private Xvfb, a blast in progress.
# Usage: scripts/screenshot.sh [OUTPUT.png]   (default docs/screenshot.png; build first)
set -euo pipefail
cd "$(dirname "$0")/.."
output="${1:-docs/screenshot.png}"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/displayfd" 2>/dev/null &
read -r number <"$work/displayfd"
export DISPLAY=":$number"

(cd build/game && SDL_AUDIODRIVER=dummy exec ./skarnholt >/dev/null 2>&1) &
until xdotool search --name '^Skarnholt$' >/dev/null 2>&1; do sleep 0.1; done
sleep 1
# A blast a little left of the middle, caught just after the flash while the ring widens.
xdotool mousemove 430 400 click 1
sleep 2.5
import -window root -crop 1024x768+0+0 +repage "$output"
xdotool key Escape
echo "wrote $output"
