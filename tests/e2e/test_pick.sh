# A click on a tile: the green marker on that tile at once, gone by 4 s, and exactly one
# explosion sound, started 1.9 s after the game took the click. Times are read from the
# game's own frames in the probe's log, so that the checks hold however fast it draws.
source "$(dirname "$0")/lib.sh"

# True when the frame that the game presented last drew the pick marker.
marker_on_screen() {
    awk '$2 == "swap" { shown = drawn; drawn = 0 } $2 == "disk" && $3 == "0.400" && $4 == "0.800" { drawn = 1 }
         END { exit !shown }' "$PROBE_LOG"
}

# Clicks whose time the game has taken so far.
clicks_taken() {
    grep -c ' clicktime$' "$PROBE_LOG" || true
}

# The moment at which the game last took a click's time.
last_pick() {
    awk '$2 == "clicktime" { t = $1 } END { print t }' "$PROBE_LOG"
}

# Sleeps until $2 ms have passed since the moment $1 (ns), then waits for two frames.
wait_after() {
    local since_ms=$((($(now_ns) - $1) / 1000000))
    ((since_ms >= $2)) || sleep "$(awk -v ms="$((since_ms - $2))" 'BEGIN { print -ms / 1000 }')"
    wait_frames 2
}

start_xvfb
make_scratch
# Without music the captured audio holds nothing but the explosions.
rm -f "$SCRATCH/Buzz-0001.mp3"
audio="$E2E_TMP/audio.raw"
launch_game $(disk_audio "$audio") $(probe_env)
wait_frames 3
# Hide the buildings so that no wall stands between the camera and the marker.
xdotool key 1
wait_frames 3
read -r x y <<<"$(tile_at 9 14)"

# The first pick is left to run at its own pace, for the explosion's moment.
first_heard_after=$(audio_seconds "$audio")
taken=$(clicks_taken)
click_at "$x" "$y"
expect_seen clicks_taken "$taken" 1 "the first click"
first=$(last_pick)
wait_after "$first" 4300
screenshot "$E2E_TMP/after.png"

# The second is held still for the screenshot once the game has presented a frame with the
# marker, so that a slow machine, or a slow screenshot, cannot miss the marker's 1.9 s.
second_heard_after=$(audio_seconds "$audio")
click_at "$x" "$y"
await 10 marker_on_screen || fail "the second click drew no marker within 10 frames"
kill -STOP "$GAME_PID"
marker_on_screen || { kill -CONT "$GAME_PID"; fail "the marker was gone before the game could be held still"; }
screenshot "$E2E_TMP/marker.png"
kill -CONT "$GAME_PID"
second=$(last_pick)
[ "$second" != "$first" ] || fail "the second click ran no pick pass"
# Its explosion sound lasts up to 2.5 s.
wait_after "$second" 4500
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

# One sound started for each pick; the first 1.9 s after it: no sooner, and no later than
# the frame after the first one presented once the game's clock, counted in whole
# milliseconds, had passed 1.9 s.
plays_between() {
    awk -v from="$1" -v to="$2" '$1 > from && $1 < to && $2 == "play" { print $1 }' "$PROBE_LOG"
}
played=$(plays_between "$first" "$second")
[ "$(wc -w <<<"$played")" = 1 ] || fail "the first pick started $(wc -w <<<"$played") sounds, not one"
[ "$(plays_between "$second" 99999999999999999999 | wc -w)" = 1 ] || fail "the second pick did not start one sound"
latest=$(awk -v mark="$first" '$2 == "swap" && $1 > mark + 1.902e9 && ++n == 2 { print $1; exit }' "$PROBE_LOG")
delay=$(awk -v d="$((played - first))" 'BEGIN { printf "%.3f", d / 1e9 }')
((played - first >= 1899000000)) || fail "the explosion started $delay s after the pick, before 1.9 s"
[ -n "$latest" ] && ((played <= latest)) ||
    fail "the explosion started $delay s after the pick: two frames after the 1.9 s mark had gone by"

# And each was heard, once, after its click.
"$TOOLS/pcm_sounds" "$audio" >"$E2E_TMP/sounds.txt"
onsets=$(awk '/^onset/ { print $2 }' "$E2E_TMP/sounds.txt")
[ "$(wc -w <<<"$onsets")" = 2 ] || fail "expected two explosions, heard: $(tr '\n' ' ' <"$E2E_TMP/sounds.txt")"
read -r first_onset second_onset <<<"$(echo $onsets)"
awk -v a="$first_onset" -v b="$second_onset" -v p="$first_heard_after" -v q="$second_heard_after" \
    'BEGIN { exit !(a > p && a < q && b > q) }' ||
    fail "explosions heard at $first_onset and $second_onset s of the capture; clicks at $first_heard_after and $second_heard_after s"
echo "PASS (explosion started $delay s after the pick; each of two heard once)"
