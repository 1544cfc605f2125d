# A click costs no memory for good: clicks that miss the city, each running the pick pass,
# with nothing else changing, keep at most 1 kB of heap each (the median step of readings
# taken every ten clicks, after twenty that let the first pick passes settle). A leak of
# 5 kB a click must fail this. (What a pick on a tile costs is judged in test_full_game.sh.)
source "$(dirname "$0")/lib.sh"

misses_to_settle=20
misses_judged=80
max_bytes_per_click=1024

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
sleep 1

miss_click() { xdotool click 1; sleep 0.1; }

passes=$(pick_passes)
click_repeatedly "$misses_to_settle" 100 "$miss_x" "$miss_y"
memory_series miss_click "$misses_judged" 10
expect_pick_passes "$passes" $((misses_to_settle + misses_judged)) \
    "$((misses_to_settle + misses_judged)) clicks that miss the city"
[ "$(markers_drawn)" = 0 ] || fail "a click meant to miss the city picked a tile"
echo "misses: $SERIES_SHOWN"
((SERIES_BYTES <= max_bytes_per_click)) ||
    fail "a missed click keeps $SERIES_BYTES B of heap for good (limit $max_bytes_per_click)"
quit_expecting_zero
echo "PASS"
