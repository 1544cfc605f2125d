# A whole game: blasts over a grid of tiles until the last zombie dies and the game ends by
# itself with status 0. Each pick runs its pick pass and draws its marker, and costs no
# memory for good: the typical step of held memory from one pick to the next stays small.
# A leak of 100 kB a pick must fail this.
source "$(dirname "$0")/lib.sh"

# The GL driver keeps its working memory at the high-water mark of the frames it has drawn,
# and a blast's frames differ from pick to pick, so the level creeps up in rare steps of a
# few hundred kB. The typical pick's cost, the median step, is what a leak raises.
max_median_pick_kb=50

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
sleep 1

# Tiles four apart: every point of the city lies within the 5-unit blast of one of them.
targets=()
for row in 2 6 10 14 18 22; do
    for column in 2 6 10 14 18 22; do
        targets+=("$column $row")
    done
done

clicks=0
steps=()
last=$(held_kb_typical)
for sweep in 1 2; do
    for target in "${targets[@]}"; do
        kill -0 "$GAME_PID" 2>/dev/null || break 2
        click_tile_expecting_marker $target
        clicks=$((clicks + 1))
        # A new pick is accepted only once the last one has run for four seconds; reading the
        # memory held takes most of a second more.
        sleep 4
        kill -0 "$GAME_PID" 2>/dev/null || break 2
        now=$(held_kb_typical)
        # The first pick raises the driver's working memory to a blast's frames.
        ((clicks == 1)) || steps+=($((now - last)))
        last=$now
    done
done

wait_game_exit 10
[ "$GAME_STATUS" = "0" ] || fail "the game did not end by itself with status 0 after $clicks clicks ($GAME_STATUS)"
((${#steps[@]} >= 5)) || fail "only ${#steps[@]} picks could be weighed before the game ended"
median=$(printf '%s\n' "${steps[@]}" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
echo "picks: held memory steps $(tr '\n' ' ' <<<"${steps[*]}")kB; median $median kB"
((median <= max_median_pick_kb)) || fail "a pick costs $median kB for good (limit $max_median_pick_kb)"
echo "PASS ($clicks clicks)"
