# The music is heard once start-up ends; without any sound file the game runs silently.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch

if [ -f "$SCRATCH/Buzz-0001.mp3" ]; then
    audio="$E2E_TMP/music.raw"
    launch_game $(disk_audio "$audio")
    sleep 4
    quit_expecting_zero
    "$TOOLS/pcm_sounds" "$audio" 1 >"$E2E_TMP/music.txt"
    rms=$(awk '/^rms/ { print int($2) }' "$E2E_TMP/music.txt")
    [ "$rms" -gt 300 ] || fail "the captured music is silent (rms $rms)"
else
    echo "no music file in the game folder: music capture not checked"
fi

rm -f "$SCRATCH"/*.wav "$SCRATCH"/*.mp3
audio="$E2E_TMP/silence.raw"
launch_game $(disk_audio "$audio")
sleep 1
read -r x y <<<"$(tile_at 12 12)"
click_at "$x" "$y"
sleep 3
quit_expecting_zero "without its sound files"
"$TOOLS/pcm_sounds" "$audio" >"$E2E_TMP/silence.txt"
peak=$(awk '/^peak/ { print $2 }' "$E2E_TMP/silence.txt")
[ "$peak" = "0" ] || fail "something played without sound files (peak $peak)"
echo "PASS"
