# The city as the player sees it: a textured floor, and textured buildings standing on
# the cells that are always building cells.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy
sleep 1.5
screenshot "$E2E_TMP/city.png"
xdotool key 1
sleep 0.5
screenshot "$E2E_TMP/floor.png"
quit_expecting_zero
! grep -q "Problem loading" "$E2E_OUT" || fail "a texture did not load: $(grep 'Problem loading' "$E2E_OUT")"

# Number of distinct colours in a WIDTHxHEIGHT+X+Y box of a screenshot.
colours_in() {
    convert "$1" -crop "$2" +repage -format %k info:
}

# An untextured floor is one lit colour; the texture gives it many.
floor_colours=$(colours_in "$E2E_TMP/floor.png" 200x150+412+450)
[ "$floor_colours" -ge 50 ] || fail "the floor shows only $floor_colours colours: no texture"

# In this city every cell whose column and row are both odd is a building cell.
covered=0
textured=0
for row in 3 7 11 15 19 23; do
    for column in 1 5 9 13 17 21; do
        read -r x y <<<"$(tile_at $column $row 1)"
        [ "$(pixel "$E2E_TMP/city.png" "$x" "$y")" != "$(pixel "$E2E_TMP/floor.png" "$x" "$y")" ] &&
            covered=$((covered + 1))
        [ "$(colours_in "$E2E_TMP/city.png" 9x9+$((x - 4))+$((y - 4)))" -ge 8 ] && textured=$((textured + 1))
    done
done
[ "$covered" = 36 ] || fail "only $covered of 36 building cells show a building"
[ "$textured" -ge 30 ] || fail "only $textured of 36 buildings look textured"
echo "PASS (floor colours $floor_colours, textured buildings $textured/36)"
