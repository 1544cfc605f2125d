# A whole game: blasts over a grid of tiles until the last zombie dies and the game
# ends by itself with status 0.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy
sleep 1

# Tiles four apart: every point of the city lies within the 5-unit blast of one of them.
targets=()
for row in 2 6 10 14 18 22; do
    for column in 2 6 10 14 18 22; do
        targets+=("$column $row")
    done
done

clicks=0
for sweep in 1 2; do
    for target in "${targets[@]}"; do
        kill -0 "$GAME_PID" 2>/dev/null || break 2
        read -r x y <<<"$(tile_at $target)"
        click_at "$x" "$y"
        clicks=$((clicks + 1))
        # A new pick is accepted only once the last one has run for four seconds.
        sleep 4.3
    done
done

wait_game_exit 10
[ "$GAME_STATUS" = "0" ] || fail "the game did not end by itself with status 0 after $clicks clicks ($GAME_STATUS)"
echo "PASS ($clicks clicks)"
