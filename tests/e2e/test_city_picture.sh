# The city as the player sees it: a textured floor in the floor texture's own colours, and
# textured buildings standing on the cells that are always building cells.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
wait_frames 3
screenshot "$E2E_TMP/city.png"
xdotool key 1
wait_frames 3
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

# Mean "red green blue" of a picture file, in 0..255 with decimals; any further words are
# ImageMagick operators applied first (a crop).
mean_rgb() {
    local file=$1
    shift
    convert "$file" "$@" -format '%[fx:255*mean.r] %[fx:255*mean.g] %[fx:255*mean.b]' info:
}

# The sun is white, so the lit floor is the texture darkened alike in every channel: the
# floor's mean colour on screen is the texture's mean colour times one factor, fitted here.
# Red and blue swapped in the upload (a byte-order fault) are off by that factor times the
# texture's red-blue difference, about 4 levels; the fit holds to a tenth of a level.
read -r tex_r tex_g tex_b <<<"$(mean_rgb "$SCRATCH/floor.bmp")"
read -r scr_r scr_g scr_b <<<"$(mean_rgb "$E2E_TMP/floor.png" -crop 600x400+212+250 +repage)"
colour_report=$(awk -v tr="$tex_r" -v tg="$tex_g" -v tb="$tex_b" -v r="$scr_r" -v g="$scr_g" -v b="$scr_b" '
    BEGIN {
        k = (r + g + b) / (tr + tg + tb)
        off = r - k * tr; if (g - k * tg > off) off = g - k * tg; if (b - k * tb > off) off = b - k * tb
        low = r - k * tr; if (g - k * tg < low) low = g - k * tg; if (b - k * tb < low) low = b - k * tb
        if (-low > off) off = -low
        printf "%.2f %.1f,%.1f,%.1f %.1f,%.1f,%.1f\n", off, r, g, b, k * tr, k * tg, k * tb
    }')
read -r colour_off floor_seen floor_expected <<<"$colour_report"
awk -v off="$colour_off" 'BEGIN { exit !(off <= 1.0) }' ||
    fail "the floor shows $floor_seen on average where its texture under white light gives $floor_expected"

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
echo "PASS (floor colours $floor_colours, mean $floor_seen against $floor_expected, textured buildings $textured/36)"
