# With an audio driver that cannot open, the game runs without sound: a click still gets its
# marker and its blast, and Escape ends the game with 0.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=nosuchdriver $(probe_env)
wait_frames 3
clicked=$(now_ns)
click_tile_expecting_marker 9 14
# Past the moment the explosion sound would play, and past the end of the blast.
sleep 4.2
wait_frames 2
kill -0 "$GAME_PID" 2>/dev/null || fail "the game died when the blast went off without audio"
ended=$(now_ns)
wait_frames 3
quit_expecting_zero "without audio"

# The blast ring is a disk whose radii grow; the marker's are 0.4 and 0.8. Drawn between the
# click and 4 s after it, and neither of them after that.
disks_between() {
    awk -v from="$1" -v to="$2" -v marker="$3" '$1 > from && $1 < to && $2 == "disk" &&
        (($3 == "0.400" && $4 == "0.800") == (marker == "marker")) { n++ } END { print n + 0 }' "$PROBE_LOG"
}
(($(disks_between "$clicked" "$ended" ring) > 0)) || fail "no blast ring was drawn after the click"
(($(disks_between "$ended" 99999999999999999999 marker) == 0)) || fail "the blast never ended: the marker is still drawn"
(($(disks_between "$ended" 99999999999999999999 ring) == 0)) || fail "the blast never ended: its ring is still drawn"
echo "PASS"
