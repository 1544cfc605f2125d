# A click costs no memory for good: 100 clicks that miss the city, each running the pick pass,
# with nothing else changing, leave resident memory where the first 20 took it. A leak of
# 100 kB a click must fail this. (What a pick on a tile costs is judged over a whole game in
# test_full_game.sh.)
source "$(dirname "$0")/lib.sh"

misses=100
misses_to_settle=20
max_miss_growth_kb=2000

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
sleep 1

judged=$((misses - misses_to_settle))
grown=$(miss_click_growth "$misses_to_settle" "$judged")
[ "$(markers_drawn)" = 0 ] || fail "a click meant to miss the city picked a tile"
echo "misses: $grown kB over the last $judged of $misses ($(per_each "$grown" "$judged") kB a click)"
((grown <= max_miss_growth_kb)) || fail "memory grew $grown kB over missed clicks (limit $max_miss_growth_kb)"
quit_expecting_zero
echo "PASS"
