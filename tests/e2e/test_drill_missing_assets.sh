# With every asset missing at once the game still starts, takes a click and quits with 0:
# silently, with an untextured floor, and with the messages of the missing files.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
rm -f "$SCRATCH"/*
audio="$E2E_TMP/audio.raw"
launch_game $(disk_audio "$audio") $(probe_env)
wait_frames 3

# Buildings hidden, in case a model shows up from somewhere, so the floor fills the middle.
xdotool key 1
wait_frames 3
screenshot "$E2E_TMP/floor.png"
click_tile_expecting_marker 12 12
sleep 3
wait_frames 2
quit_expecting_zero "without its assets"

grep -qx "Loading talo.obj" "$E2E_OUT" || fail "no 'Loading talo.obj' line on standard output"
grep -qx "Error reading file: talo.obj" "$E2E_ERR" || fail "no 'Error reading file: talo.obj' on standard error"
grep -qx "Problem loading floor.bmp" "$E2E_OUT" || fail "no 'Problem loading floor.bmp' on standard output"

# The audio device was open the whole time (the capture grew) and heard nothing.
"$TOOLS/pcm_sounds" "$audio" >"$E2E_TMP/sounds.txt"
seconds=$(awk '/^seconds/ { print int($2) }' "$E2E_TMP/sounds.txt")
peak=$(awk '/^peak/ { print $2 }' "$E2E_TMP/sounds.txt")
[ "$seconds" -ge 3 ] || fail "only $seconds s of audio were captured"
[ "$peak" = "0" ] || fail "something played without any sound file (peak $peak)"

# A textured floor shows well over a hundred shades in the middle of the window; a plain one
# shows its one lit grey and the few of the zombies standing on it.
shades=$(convert "$E2E_TMP/floor.png" -crop 300x200+362+284 -format %k info:)
[ "$shades" -le 30 ] || fail "the floor shows $shades shades: textured without floor.bmp?"
echo "PASS (floor $shades shades, $seconds s of silence)"
