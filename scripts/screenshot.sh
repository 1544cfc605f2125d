#!/usr/bin/env bash
# Takes the README's screenshot: the built game under a private Xvfb, a blast in progress.
# Usage: scripts/screenshot.sh [OUTPUT.png]   (default docs/screenshot.png; build first)
# Fails when Xvfb does not start within 20 s or the game's window does not show within 20 s.
set -euo pipefail
cd "$(dirname "$0")/.."
output="${1:-docs/screenshot.png}"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

fail() {
    echo "screenshot: $*" >&2
    exit 1
}

mkfifo "$work/displayfd"
# -noreset: see start_xvfb in tests/e2e/lib.sh.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/displayfd" 2>/dev/null &
read -r -t 20 number <"$work/displayfd" || fail "Xvfb did not start within 20 s"
export DISPLAY=":$number"

(cd build/game && SDL_AUDIODRIVER=dummy exec ./skarnholt >/dev/null 2>"$work/stderr") &
game=$!
# The game's window, given 20 s to show; a game that ended before it did has failed.
for _ in $(seq 1 200); do
    xdotool search --name '^Skarnholt$' >/dev/null 2>&1 && break
    kill -0 "$game" 2>/dev/null || fail "the game ended before its window showed: $(tail -n 3 "$work/stderr")"
    sleep 0.1
done
xdotool search --name '^Skarnholt$' >/dev/null 2>&1 || fail "the game's window did not show within 20 s"
sleep 1
# A blast a little left of the middle, caught just after the flash while the ring widens.
xdotool mousemove 430 400 click 1
sleep 2.5
import -window root -crop 1024x768+0+0 +repage "$output"
xdotool key Escape
echo "wrote $output"
