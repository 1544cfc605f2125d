# Pointer motion costs no input: after a few hundred moves in a few seconds, a click still
# shows its marker within a few frames, an arrow release still stops the camera, and an
# Escape release still ends the game with status 0.
source "$(dirname "$0")/lib.sh"

# Frames the game may take to show the marker after a click: a click is one event, taken
# by the next frame and drawn by it.
max_marker_frames=5

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
sleep 1
# No wall may hide the marker.
xdotool key 1

# Frames presented after $1 (ns) and before the first marker disk; "none" without a marker.
frames_to_marker() {
    awk -v since="$1" '$1 > since && $2 == "swap" { frames++ }
        $1 > since && $2 == "disk" && $3 == "0.400" { print frames + 0; found = 1; exit }
        END { if (!found) print "none" }' "$PROBE_LOG"
}

# Median time between the frames presented from $1 to $2 (ns), in ms.
frame_ms_between() {
    awk -v from="$1" -v to="$2" '$1 > from && $1 < to && $2 == "swap" { if (last) print ($1 - last) / 1e6; last = $1 }' "$PROBE_LOG" |
        sort -n | awk '{ v[NR] = $1 } END { printf "%.1f\n", v[int((NR + 1) / 2)] }'
}

click_after_motion() {
    local x y moving clicked i frames
    read -r x y <<<"$(tile_at 9 14)"
    moving=$(now_ns)
    motion_stream 500
    xdotool mousemove "$x" "$y" click 1
    clicked=$(now_ns)
    for i in $(seq 1 30); do
        frames=$(frames_to_marker "$clicked")
        [ "$frames" = "none" ] || break
        sleep 0.1
    done
    [ "$frames" != "none" ] || fail "no marker within 3 s of a click that followed pointer motion"
    ((frames <= max_marker_frames)) ||
        fail "the marker came $frames frames after the click (at most $max_marker_frames)"
    local latency
    latency=$(awk -v since="$clicked" '$1 > since && $2 == "disk" { printf "%.0f", ($1 - since) / 1e6; exit }' "$PROBE_LOG")
    echo "marker $frames frames, $latency ms after the click" \
        "(frame time during the motion $(frame_ms_between "$moving" "$clicked") ms)"
}

# The camera's eye x of every frame after $1 (ns), one distinct value a line.
eye_x_values_since() {
    awk -v since="$1" '$1 > since && $2 == "eye" { print $3 }' "$PROBE_LOG" | sort -u
}

frames_since() {
    awk -v since="$1" '$1 > since && $2 == "swap" { n++ } END { print n + 0 }' "$PROBE_LOG"
}

# Milliseconds from $1 (ns) to the last frame presented, negative when it came before.
last_frame_ms_from() {
    awk -v since="$1" '$2 == "swap" { t = $1 } END { printf "%.0f\n", (t - since) / 1e6 }' "$PROBE_LOG"
}

# Frames that must show the camera standing after the release: the camera moves a step a frame.
still_frames=20

arrow_release_after_motion() {
    local pressed released i
    pressed=$(now_ns)
    xdotool keydown Right
    motion_stream 300
    xdotool keyup Right
    motion_stream 200
    sleep 0.5
    released=$(now_ns)
    for i in $(seq 1 100); do
        (($(frames_since "$released") >= still_frames)) && break
        sleep 0.1
    done
    (($(frames_since "$released") >= still_frames)) ||
        fail "only $(frames_since "$released") frames were drawn in 10 s after Right was released" \
            "(at least $still_frames needed); the last frame came $(last_frame_ms_from "$released") ms" \
            "after the release, and the game is $(kill -0 "$GAME_PID" 2>/dev/null && echo running || echo gone)"
    [ "$(eye_x_values_since "$pressed" | wc -l)" -gt 1 ] || fail "holding Right did not move the camera"
    local still
    still=$(eye_x_values_since "$released")
    [ "$(wc -l <<<"$still")" = 1 ] ||
        fail "the camera still moves after Right was released: eye x $(tr '\n' ' ' <<<"$still")"
}

click_after_motion
arrow_release_after_motion
motion_stream 500
xdotool keydown Escape keyup Escape
wait_game_exit 5
[ "$GAME_STATUS" = "0" ] || fail "Escape after pointer motion: the game is $GAME_STATUS (status 0 expected)"
echo "PASS"
