# Damaged asset files (garbage BMPs, files cut short, a material file of garbage) are
# reported and survived: the game takes a click, runs on and quits with 0.
source "$(dirname "$0")/lib.sh"

start_xvfb

# Starts the game in $SCRATCH, clicks the middle of the city, waits out the blast and quits.
play_briefly() {
    local what=$1
    launch_game SDL_AUDIODRIVER=dummy $(probe_env)
    wait_frames 3
    click_tile_expecting_marker 12 12
    sleep 2.5
    wait_frames 2
    quit_expecting_zero "with $what"
}

# expect_line STREAM-FILE LINE WHAT: the exact line must be there.
expect_line() {
    grep -qxF -- "$2" "$1" || fail "no line '$2' ($3)"
}

# Every byte but the line breaks and NULs, which would change the line numbering.
random_text() {
    head -c "$1" /dev/urandom | tr -d '\n\r\000'
}

garbage_bmps() {
    make_scratch
    head -c 30 "$SKARNHOLT_GAME_DIR/floor.bmp" >"$SCRATCH/floor.bmp"
    head -c 4096 /dev/urandom >"$SCRATCH/talo.bmp"
    play_briefly "a cut BMP header and a garbage BMP"
    expect_line "$E2E_OUT" "Problem loading floor.bmp" "floor.bmp cut inside its header"
    expect_line "$E2E_OUT" "Problem loading talo.bmp" "talo.bmp of random bytes"
}

# The model ends halfway through a face line, with no line break; the picture ends halfway
# through its pixels.
files_cut_short() {
    make_scratch
    local obj="$SKARNHOLT_GAME_DIR/talo.obj" faces first_face middle keep
    first_face=$(grep -n -m 1 '^f ' "$obj" | cut -d: -f1)
    middle=$(( (first_face + $(wc -l <"$obj")) / 2 ))
    keep=$(( $(head -n $((middle - 1)) "$obj" | wc -c) + $(sed -n "${middle}p" "$obj" | wc -c) / 2 ))
    head -c "$keep" "$obj" >"$SCRATCH/talo.obj"
    head -c $(( $(stat -c %s "$SKARNHOLT_GAME_DIR/floor.bmp") / 2 )) \
        "$SKARNHOLT_GAME_DIR/floor.bmp" >"$SCRATCH/floor.bmp"
    faces=$(grep -c '^f' "$SCRATCH/talo.obj")
    play_briefly "talo.obj cut in a face line and floor.bmp cut in its pixels"
    # The cut line is still read: it is the last line traced, and it counts as a face.
    expect_line "$E2E_OUT" "'f' in scene code at line $middle: \"f\"." "trace of the cut line"
    expect_line "$E2E_OUT" "Number of faces: $faces" "faces of the cut model"
}

garbage_material() {
    make_scratch
    {
        echo "frobnicate 1 2 3"
        echo "Kd 0.5 0.5 0.5"
        random_text 200; echo
        echo "newmtl garbage"
        echo "Ka one two three"
        echo "illum 99999999999999999999999"
        echo "qux"
        random_text 400; echo
    } >"$SCRATCH/talo.mtl"
    play_briefly "talo.mtl full of garbage"
    local err="$E2E_ERR"
    expect_line "$err" "Unknown command 'frobnicate' in material file talo.mtl at line 1:" "unknown keyword"
    expect_line "$err" "Unknown command 'Kd' in material file talo.mtl at line 2:" "property before newmtl"
    expect_line "$err" "Unknown command 'qux' in material file talo.mtl at line 7:" "unknown keyword after newmtl"
}

garbage_bmps
files_cut_short
garbage_material
echo "PASS"
