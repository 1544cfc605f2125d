# A click costs no memory for good: 100 clicks that miss the city (each runs the pick pass)
# and then 20 picks on a tile, with nothing else changing, leave resident memory where the
# first clicks of each series took it. A leak of 100 kB a click must fail this.
source "$(dirname "$0")/lib.sh"

misses=100
misses_to_settle=20
max_miss_growth_kb=2000
picks=20
# The GL driver keeps its working memory at the high-water mark of the frames it has drawn,
# and a blast's frames differ from pick to pick, so the level creeps up in rare steps of a
# few hundred kB. The typical pick's cost, the median step, is what a leak raises.
max_median_pick_kb=50

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
sleep 1

# Markers drawn so far: a new one starts when none was drawn for a second.
markers_drawn() {
    awk '$2 == "disk" && $3 == "0.400" { if ($1 - last > 1e9) n++; last = $1 } END { print n + 0 }' "$PROBE_LOG"
}

miss_series() {
    local judged=$((misses - misses_to_settle)) grown
    grown=$(miss_click_growth "$misses_to_settle" "$judged")
    [ "$(markers_drawn)" = 0 ] || fail "a click meant to miss the city picked a tile"
    echo "misses: $grown kB over the last $judged of $misses ($(per_each "$grown" "$judged") kB a click)"
    ((grown <= max_miss_growth_kb)) || fail "memory grew $grown kB over missed clicks (limit $max_miss_growth_kb)"
}

pick_series() {
    local x y pick steps=() last now
    read -r x y <<<"$(tile_at 9 14)"
    last=$(held_kb)
    for pick in $(seq 1 "$picks"); do
        click_at "$x" "$y"
        # The animation ends 4 s after the click; the next click is taken only then.
        sleep 4.2
        now=$(held_kb)
        # The first pick raises the driver's working memory to a blast's frames.
        ((pick == 1)) || steps+=($((now - last)))
        last=$now
    done
    [ "$(markers_drawn)" = "$picks" ] || fail "$picks picks drew $(markers_drawn) markers"
    local median
    median=$(printf '%s\n' "${steps[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
    echo "picks: steps after each pick $(tr '\n' ' ' <<<"${steps[*]}")kB; median $median kB"
    ((median <= max_median_pick_kb)) || fail "a pick costs $median kB for good (limit $max_median_pick_kb)"
}

miss_series
pick_series
quit_expecting_zero
echo "PASS"
