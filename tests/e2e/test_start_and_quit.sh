# Start-up opens the 1024 x 768 window titled Skarnholt and prints the banner first;
# Escape acts on release, and the game ends with status 0.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)

window=$(game_window)
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
[ "$geometry" = "1024x768" ] || fail "the window is $geometry, not 1024x768"

[ "$(head -n 1 "$E2E_OUT")" = " 0.5b" ] || fail "the banner is not the first line of standard output"
grep -qx "Loading music" "$E2E_OUT" || fail "no 'Loading music' line"

xdotool keydown Escape
# Frames enough for the press to be taken, on a fast machine or a slow one.
wait_frames 5
kill -0 "$GAME_PID" 2>/dev/null || fail "pressing Escape ended the game; only releasing it should"
xdotool keyup Escape
wait_game_exit 30
[ "$GAME_STATUS" = "0" ] || fail "the game ended with status $GAME_STATUS after Escape, not 0"
echo "PASS"
