# With an audio driver that cannot open, the game runs without sound: a click still gets its
# marker and its blast, and Escape ends the game with 0.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=nosuchdriver
sleep 1

# Hide the buildings so that no wall stands between the camera and the marker.
xdotool key 1
sleep 0.3
read -r x y <<<"$(tile_at 9 14)"
click_at "$x" "$y"
sleep 0.5
screenshot "$E2E_TMP/marker.png"
# Past the moment the explosion sound would play, and past the end of the blast.
sleep 4
kill -0 "$GAME_PID" 2>/dev/null || fail "the game died when the blast went off without audio"
screenshot "$E2E_TMP/after.png"
quit_expecting_zero "without audio"

# 0.4 of a cell from the centre lies between the marker ring's radii of 0.4 and 0.8 units.
read -r rx ry <<<"$(tile_at 9.4 14 0.5)"
is_green "$E2E_TMP/marker.png" "$rx" "$ry" || fail "no green marker after the click"
! is_green "$E2E_TMP/after.png" "$rx" "$ry" || fail "the blast never ended: the marker is still there"
echo "PASS"
