# The window is asked for before it is opened: double buffering, presenting at the
# display's refresh and the game's icon are requested before the video mode is set (the
# first two cannot be seen on software GL, so the calls the game makes are checked), and
# the window carries the icon.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
sleep 1
window=$(game_window)
# A window manager takes the icon from either of two properties: classic SDL sets a pixmap in
# WM_HINTS, SDL 2 an image in _NET_WM_ICON.
# A failing xprop must reach the check below, which says what is missing.
hints=$(xprop -id "$window" WM_HINTS 2>&1 || true)
net_icon=$(xprop -id "$window" _NET_WM_ICON 2>&1 | head -n 1 || true)
quit_expecting_zero
grep -q "bitmap id # to use for icon" <<<"$hints" || grep -qE "Icon \([0-9]+ x [0-9]+\)" <<<"$net_icon" ||
    fail "the window has no icon: $hints; $net_icon"

# Line number in the probe log of the first line whose words after the time are "$*".
first_line_of() {
    awk -v want="$*" '{ $1 = ""; sub(/^ /, "") } $0 == want { print NR; exit }' "$PROBE_LOG"
}

video_mode=$(first_line_of videomode)
[ -n "$video_mode" ] || fail "the probe saw no video mode being set"
# SDL_GL_DOUBLEBUFFER is 5, SDL_GL_SWAP_CONTROL is 16.
for request in "attr 5 1:double buffering" "attr 16 1:presenting at the display's refresh" \
               "icon:the window's icon"; do
    line=$(first_line_of "${request%%:*}")
    [ -n "$line" ] || fail "no request for ${request#*:}"
    ((line < video_mode)) || fail "${request#*:} is requested only after the video mode is set"
done
echo "PASS"
