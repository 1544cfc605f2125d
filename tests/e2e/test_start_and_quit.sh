# Start-up opens the 1024 x 768 window titled Skarnholt and prints its messages in the order
# of its steps, the banner first; Escape acts on release, and the game ends with status 0.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)

window=$(game_window)
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
[ "$geometry" = "1024x768" ] || fail "the window is $geometry, not 1024x768"

xdotool keydown Escape
# Frames enough for the press to be taken, on a fast machine or a slow one.
await 5 false || true
kill -0 "$GAME_PID" 2>/dev/null || fail "pressing Escape ended the game; only releasing it should"
xdotool keyup Escape
wait_game_exit 30
[ "$GAME_STATUS" = "0" ] || fail "the game ended with status $GAME_STATUS after Escape, not 0"

# The steps' messages, with the model reader's trace of each line and face left out (its own
# tests pin it) and the model's counts as N: banner, music, model with its material and
# texture, floor texture, font.
trace="^('.*' in scene code at line [0-9]+: |face [0-9]+: )"
steps=$(grep -vE "$trace" "$E2E_OUT" | sed -E 's/^(Number of [a-z ]+): [0-9]+$/\1: N/')
expected=" 0.5b
Loading music
Loading talo.obj
talo.mtl
Number of vertices: N
Number of vertex normals: N
Number of texture coordinates: N
Number of faces: N
Loading talo.bmp
Loading floor.bmp
Loading font"
[ "$steps" = "$expected" ] || fail "start-up messages out of order:
$(diff <(echo "$expected") <(echo "$steps"))"
# The trace belongs to the model's step: all of it between the model's first line and the floor's.
awk -v trace="$trace" '$0 ~ trace && (!model || floor) { bad = 1 } /^Loading talo\.obj$/ { model = 1 }
                       /^Loading floor\.bmp$/ { floor = 1 } END { exit bad }' "$E2E_OUT" ||
    fail "the model's trace is not all between 'Loading talo.obj' and 'Loading floor.bmp'"
echo "PASS"
