# A click on a tile: the green marker on that tile at once, gone by 4 s, and exactly one
# explosion sound about two seconds after the click.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
# Without music the captured audio holds nothing but the explosion.
rm -f "$SCRATCH/Buzz-0001.mp3"
audio="$E2E_TMP/audio.raw"
launch_game $(disk_audio "$audio")
sleep 1

# Hide the buildings so that no wall stands between the camera and the marker.
xdotool key 1
sleep 0.3
read -r x y <<<"$(tile_at 9 14)"
click_at "$x" "$y"
clicked_at=$(audio_seconds "$audio")
sleep 0.5
screenshot "$E2E_TMP/marker.png"
sleep 4.3
screenshot "$E2E_TMP/after.png"
sleep 2
quit_expecting_zero

# The marker is a ring of radii 0.4 and 0.8 around the tile's centre, half a unit up.
for offset in "9.4 14" "8.6 14" "9 14.4" "9 13.6"; do
    read -r rx ry <<<"$(tile_at $offset 0.5)"
    is_green "$E2E_TMP/marker.png" "$rx" "$ry" || fail "no green marker at tile 9,14 ($offset)"
    ! is_green "$E2E_TMP/after.png" "$rx" "$ry" || fail "the marker is still there after 4 s"
done
read -r cx cy <<<"$(tile_at 9 14 0.5)"
! is_green "$E2E_TMP/marker.png" "$cx" "$cy" || fail "the marker's hole is filled"
read -r nx ny <<<"$(tile_at 11 14 0.5)"
! is_green "$E2E_TMP/marker.png" "$nx" "$ny" || fail "the marker spills onto tile 11,14"

"$TOOLS/pcm_sounds" "$audio" >"$E2E_TMP/sounds.txt"
onsets=$(grep -c '^onset' "$E2E_TMP/sounds.txt" || true)
[ "$onsets" = "1" ] || fail "expected one explosion, heard $onsets: $(tr '\n' ' ' <"$E2E_TMP/sounds.txt")"
onset=$(awk '/^onset/ { print $2 }' "$E2E_TMP/sounds.txt")
delay=$(awk -v a="$onset" -v b="$clicked_at" 'BEGIN { printf "%.2f", a - b }')
awk -v d="$delay" 'BEGIN { exit !(d >= 1.7 && d <= 2.7) }' ||
    fail "the explosion came $delay s after the click, not about 2 s"
echo "PASS (explosion $delay s after the click)"
