# A whole game: blasts over a grid of tiles until the last zombie dies and the game ends by
# itself with status 0. Each pick runs its pick pass and draws its marker, and keeps at most
# 1 kB of heap for good: the median step of the heap held from one pick to the next, which a
# leak of 5 kB a pick must raise over the limit.
source "$(dirname "$0")/lib.sh"

# The GL driver keeps its working memory at the high-water mark of the frames it has drawn,
# and a blast's frames differ from pick to pick, so the level creeps up in rare steps of a
# few hundred kB. The typical pick's cost, the median step, is what a leak raises.
max_bytes_per_pick=1024

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
readings=()
for sweep in 1 2; do
    for target in "${targets[@]}"; do
        kill -0 "$GAME_PID" 2>/dev/null || break 2
        click_tile_expecting_marker $target
        clicks=$((clicks + 1))
        # A new pick is accepted only once the last one has run for four seconds.
        sleep 4
        kill -0 "$GAME_PID" 2>/dev/null || break 2
        take_reading
        readings+=("$clicks $HELD_HEAP")
    done
done

wait_game_exit 10
[ "$GAME_STATUS" = "0" ] || fail "the game did not end by itself with status 0 after $clicks clicks ($GAME_STATUS)"
# The first pick raises the driver's working memory to a blast's frames: steps count from it.
((${#readings[@]} >= 6)) || fail "only ${#readings[@]} picks could be weighed before the game ended"
per_pick=$(printf '%s\n' "${readings[@]}" | median_step_slope)
echo "picks: heap kB after each pick $(printf '%s\n' "${readings[@]}" | awk '{ printf "%.0f ", $2 / 1024 }')"
echo "picks: median step $per_pick B a pick"
((per_pick <= max_bytes_per_pick)) || fail "a pick keeps $per_pick B of heap for good (limit $max_bytes_per_pick)"
echo "PASS ($clicks clicks)"
