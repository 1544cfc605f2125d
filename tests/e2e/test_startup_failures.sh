# Start-up failures end the game within seconds with status 255 and their message on standard
# error, on classic SDL 1.2 and on sdl12-compat over SDL 2 alike; SDL 2's windowless drivers
# run the game only when SDL_VIDEODRIVER asks for them by name.
source "$(dirname "$0")/lib.sh"

make_scratch
E2E_OUT="$E2E_TMP/stdout"
E2E_ERR="$E2E_TMP/stderr"

# Runs the game in the scratch folder with the given environment changes; sets STATUS. A game
# that starts after all is stopped after 10 s.
run_game() {
    STATUS=0
    (cd "$SCRATCH" && timeout -k 5 10 env -u DISPLAY SDL_AUDIODRIVER=dummy "$@" "$GAME" \
        >"$E2E_OUT" 2>"$E2E_ERR" </dev/null) || STATUS=$?
}

# The game must fail to start: status 255, the banner first, and message $1 on standard error.
expect_failure() {
    local message=$1
    shift
    run_game "$@"
    [ "$STATUS" != "124" ] || fail "the game was still running after 10 s ($*)"
    [ "$STATUS" = "255" ] || fail "status $STATUS, not 255 ($*)"
    [ "$(head -n 1 "$E2E_OUT")" = " 0.5b" ] || fail "the banner is not the first line ($*)"
    grep -qE "^$message" "$E2E_ERR" || fail "no '$message' message ($*): $(cat "$E2E_ERR")"
}

# The file of the SDL 1.2 library that the game loads with LD_LIBRARY_PATH $1.
sdl_library() {
    readlink -f "$(LD_LIBRARY_PATH=$1 ldd "$GAME" | awk '/libSDL-1\.2\.so/ { print $3 }')"
}

# True when the SDL 1.2 library found with LD_LIBRARY_PATH $1 (empty: the one the game links)
# is sdl12-compat, which runs on SDL 2 or later, with its windowless video drivers; it reads
# settings named SDL12COMPAT_*.
runs_on_sdl2() {
    grep -qa 'SDL12COMPAT_' "$(sdl_library "$1")"
}

frames_drawn() {
    grep -c ' swap$' "$PROBE_LOG" 2>/dev/null || echo 0
}

# SDL_VIDEODRIVER naming offscreen, $1: the game starts and draws unseen, and SIGTERM, which
# SDL turns into a quit event, ends it with 0.
expect_offscreen_runs() {
    local asked=$1 i
    shift
    rm -f "$PROBE_LOG"
    (cd "$SCRATCH" && exec env -u DISPLAY SDL_VIDEODRIVER="$asked" SDL_AUDIODRIVER=dummy "$@" \
        $(probe_env) "$GAME" >"$E2E_OUT" 2>"$E2E_ERR" </dev/null) &
    GAME_PID=$!
    for i in $(seq 1 100); do
        (($(frames_drawn) >= 10)) && break
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    (($(frames_drawn) >= 10)) ||
        fail "with SDL_VIDEODRIVER=$asked the game drew no frames ($*): $(tail -n 3 "$E2E_ERR")"
    kill -TERM "$GAME_PID"
    wait_game_exit 10
    [ "$GAME_STATUS" = "0" ] || fail "SIGTERM ended the offscreen game with status $GAME_STATUS ($*)"
}

# Every failure once on each SDL 1.2 library: the one the game links, and where that is the
# classic library (Debian 12), sdl12-compat installed beside it (the test set-up installs
# libsdl1.2-compat; on Debian 13 it is the library the game links).
compat_dir="$(dirname "$(ldd "$GAME" | awk '/libSDL-1\.2\.so/ { print $3 }')")/sdl12-compat"
libraries=("")
if ! runs_on_sdl2 ""; then
    [ "$(sdl_library "$compat_dir")" != "$(sdl_library "")" ] && runs_on_sdl2 "$compat_dir" ||
        fail "sdl12-compat is not in $compat_dir beside the classic SDL 1.2 that the game links," \
            "so start-up on SDL 2 cannot be checked: install libsdl1.2-compat (bash scripts/setup.sh test)"
    libraries+=("$compat_dir")
fi
for library in "${libraries[@]}"; do
    on=(LD_LIBRARY_PATH="$library")
    # The X11 driver without a display: SDL itself cannot start, so no music is loaded.
    expect_failure "Unable to initialize SDL: ." "${on[@]}" SDL_VIDEODRIVER=x11
    ! grep -q "Loading music" "$E2E_OUT" || fail "'Loading music' printed although SDL did not start (${on[*]})"
    # A driver without OpenGL, asked for: SDL starts, the audio is set up, the GL window cannot open.
    expect_failure "Unable to set video mode: ." "${on[@]}" SDL_VIDEODRIVER=dummy
    grep -qx "Loading music" "$E2E_OUT" || fail "'Loading music' missing before the video-mode failure (${on[*]})"
    # No display, or one that cannot be reached: whatever driver SDL falls back to (SDL 2 to
    # its windowless "offscreen"), the game must not run unseen.
    expect_failure "Unable to (initialize SDL|set video mode): ." "${on[@]}"
    expect_failure "Unable to (initialize SDL|set video mode): ." "${on[@]}" DISPLAY=:9876
    if runs_on_sdl2 "$library"; then
        # Named in any case, among other drivers: SDL matches the list so, and so must the game.
        expect_offscreen_runs offscreen "${on[@]}"
        expect_offscreen_runs x11,OffScreen "${on[@]}"
        echo "checked on SDL 1.2 over SDL 2 (${library:-as linked})"
    else
        echo "checked on classic SDL 1.2"
    fi
done

# Without a display list for the floor no click could ever hit: start-up fails.
start_xvfb
expect_failure "Unable to compile the city floor: ." DISPLAY="$DISPLAY" $(probe_env) SKARNHOLT_PROBE_NO_LISTS=1
echo "PASS"
