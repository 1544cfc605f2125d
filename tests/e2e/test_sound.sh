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
launched=$(now_ns)
launch_game $(disk_audio "$audio") $(probe_env)
sleep 1
click_tile_expecting_marker 12 12
# Silence means something only when the audio device was open the whole time: the capture,
# which began after the launch, must reach half a second past the blast, 2 s after the pick.
blast=$(($(awk '$2 == "select" { t = $1 } END { print t }' "$PROBE_LOG") + 2000000000))
covered_until() { awk -v from="$launched" -v s="$(audio_seconds "$audio")" 'BEGIN { printf "%.0f\n", from + s * 1e9 }'; }
stalled=0 size=0
until (($(covered_until) >= blast + 500000000)); do
    # The disk driver writes a buffer every 93 ms: two seconds without one mean it stopped.
    if [ "$(stat -c %s "$audio")" = "$size" ]; then stalled=$((stalled + 1)); else stalled=0; fi
    size=$(stat -c %s "$audio")
    ((stalled < 20)) || fail "the audio capture stopped at $(audio_seconds "$audio") s," \
        "$(((blast + 500000000 - $(covered_until)) / 1000000)) ms short of half a second past the blast"
    sleep 0.1
done
quit_expecting_zero "without its sound files"
"$TOOLS/pcm_sounds" "$audio" >"$E2E_TMP/silence.txt"
peak=$(awk '/^peak/ { print $2 }' "$E2E_TMP/silence.txt")
[ "$peak" = "0" ] || fail "something played without sound files (peak $peak)"
echo "PASS"
