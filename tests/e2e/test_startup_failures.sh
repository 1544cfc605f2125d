# Start-up failures end the game with status 255 and their message on standard error.
source "$(dirname "$0")/lib.sh"

make_scratch
E2E_OUT="$E2E_TMP/stdout"
E2E_ERR="$E2E_TMP/stderr"

# Runs the game in the scratch folder with the given environment changes; sets STATUS.
# A game that starts after all is stopped after 30 s.
run_without_window() {
    STATUS=0
    (cd "$SCRATCH" && timeout -k 5 30 env -u DISPLAY SDL_AUDIODRIVER=dummy "$@" "$GAME" \
        >"$E2E_OUT" 2>"$E2E_ERR" </dev/null) || STATUS=$?
    [ "$STATUS" != "124" ] || fail "the game was still running after 30 s ($*)"
    [ "$STATUS" = "255" ] || fail "status $STATUS, not 255 ($*)"
    [ "$(head -n 1 "$E2E_OUT")" = " 0.5b" ] || fail "the banner is not the first line ($*)"
}

# The X11 driver without a display: SDL itself cannot start, so no music is loaded.
run_without_window SDL_VIDEODRIVER=x11
grep -q "^Unable to initialize SDL: ." "$E2E_ERR" || fail "no 'Unable to initialize SDL' message"
! grep -q "Loading music" "$E2E_OUT" || fail "'Loading music' printed although SDL did not start"

# A driver without OpenGL: SDL starts, the audio is set up, the GL window cannot open.
run_without_window SDL_VIDEODRIVER=dummy
grep -q "^Unable to set video mode: ." "$E2E_ERR" || fail "no 'Unable to set video mode' message"
grep -qx "Loading music" "$E2E_OUT" || fail "'Loading music' missing before the video-mode failure"

# Whatever driver SDL falls back to on a machine without a display, start-up fails cleanly.
run_without_window
grep -qE "^Unable to (initialize SDL|set video mode): " "$E2E_ERR" || fail "no start-up failure message"
echo "PASS"
