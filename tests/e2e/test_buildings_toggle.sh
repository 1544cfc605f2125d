# The 1 key hides the buildings and a second press shows them again.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
wait_frames 3

screenshot "$E2E_TMP/shown.png"
xdotool key 1
wait_frames 3
screenshot "$E2E_TMP/hidden.png"
xdotool key 1
wait_frames 3
screenshot "$E2E_TMP/shown-again.png"
quit_expecting_zero

# Share of the window's pixels that differ clearly between two screenshots; the text
# line at the top changes every frame and is left out.
changed_percent() {
    # compare exits non-zero whenever the pictures differ; its count is all we want.
    { compare -metric AE -fuzz 8% -crop 1024x700+0+68 "$1" "$2" null: 2>&1 || true; } |
        awk '{ printf "%d\n", $1 * 100 / (1024 * 700) }'
}
hidden=$(changed_percent "$E2E_TMP/shown.png" "$E2E_TMP/hidden.png")
again=$(changed_percent "$E2E_TMP/shown.png" "$E2E_TMP/shown-again.png")
[ "$hidden" -ge 10 ] || fail "hiding the buildings changed only $hidden% of the picture"
[ "$again" -le 1 ] || fail "showing the buildings again left $again% of the picture changed"
echo "PASS (buildings cover $hidden% of the picture)"
