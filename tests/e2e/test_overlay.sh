# The text line at the top of the window: the zombie count left of the middle and the
# elapsed time right of it, read back from a screenshot by OCR.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
wait_frames 3
screenshot "$E2E_TMP/shot.png"
quit_expecting_zero
grep -qx "Loading font" "$E2E_OUT" || fail "no 'Loading font' line"

# Reads the text in a WIDTHxHEIGHT+X+Y box of the screenshot; OCR wants it enlarged.
read_text() {
    convert "$E2E_TMP/shot.png" -crop "$1" +repage -resize 400% "$E2E_TMP/box.png"
    tesseract "$E2E_TMP/box.png" - 2>/dev/null | tr -s ' \n' ' '
}

# Both lines stand in the top 60 pixels: the count from x = 204, the time from x = 614.
left=$(read_text 300x40+180+15)
right=$(read_text 300x40+590+15)
echo "left of the middle: '$left'; right of it: '$right'"

[[ "$left" == *"Zombies left:"* ]] || fail "no 'Zombies left:' left of the middle"
# OCR reads digits less reliably than words: a 0 may come back as O, o or D.
count=$(sed -E 's/.*Zombies left: *([0-9OoD]{3}).*/\1/' <<<"$left" | tr 'OoD' '000')
[ "$count" = "050" ] || fail "the count reads '$count', not 050"
[[ "$right" == *"Time:"* ]] || fail "no 'Time:' right of the middle"
[[ "$right" =~ Time:\ *[0-9OoD]{2}:[0-9OoD]{2}:[0-9OoD]{2} ]] || fail "the time is not shown as mm:ss:hh"
# The window's left half reads as the count alone: an OCR that read nothing there would
# prove nothing about where the time stands.
left_half=$(read_text 400x40+0+15)
[[ "$left_half" == *"Zombies left:"* ]] || fail "the left half of the text line reads '$left_half'"
[[ "$left_half" != *"Time"* ]] || fail "the time stands left of the middle"
echo "PASS"
